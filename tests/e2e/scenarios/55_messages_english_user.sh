# An English user (en_US: English interface language, code page 1252) reads
# the English texts, as readable as the Chinese ones elsewhere: each message
# box is read back as UTF-16 and compared; the unattended lines are English too.
export LC_ALL=en_US.UTF-8
expect_messages_read_in 1252 'Error|Invalid printer port (0 < port < 65536)' 'Error|Invalid printer address or IP format' \
  'Error|Invalid printer IP format' 'Error|Cannot resolve the printer address' 'Error|Writing to the test port failed' \
  'Notice|Test data sent' 'Error|Invalid printer name' 'Connection failed'
