// "Find USB Port": prints the test page on the USB printer behind every port
// of the list and selects the first port whose device took it.
#pragma once
#include "common/messages.h"
#include "common/port_list_control.h"

// Stages the sample picture, then for every entry of the list (never stopping
// early) finds the USB printer device behind the port and writes a fresh page
// headed by the port name to it. Only the first success changes the list's
// selection. Shows "测试端口写入失败" when no port took a page, and nothing
// otherwise. The sample files are removed on every path.
void RunFindUsbPort(PortListControl& ports, MessageSink& messages);
