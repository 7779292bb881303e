# A Chinese user (zh_CN: Chinese interface language, code page 936) reads the
# program's own Chinese texts, exactly: each message box is read back as
# UTF-16 and compared. The unattended lines are the same texts.
export LC_ALL=zh_CN.UTF-8
expect_messages_read_in 936 '错误|打印机端口格式错误(0 < port < 65536)' '错误|打印机网址IP格式错误' \
  '错误|打印机IP格式错误' '错误|打印机网址IP解析失败' '错误|测试端口写入失败' '提示|测试数据已发送' \
  '错误|打印机名称错误' '连接失败'
