// "Connect Test": prints the test page on a network printer over raw TCP and
// tells the user whether the page went out.
#pragma once
#include "common/messages.h"
#include "common/setup_form.h"

inline constexpr const char kMsgResolveFailed[] = "打印机网址IP解析失败";
inline constexpr const char kMsgTestDataSent[] = "测试数据已发送";

// Checks the address (resolving a ".local" name) and the port before any file
// is made, stages the sample picture, composes the page headed by the address
// it connects to, sends it, and shows exactly one message (none when the
// picture cannot be loaded). The sample files are removed on every path.
void RunConnectTest(const SetupForm& form, MessageSink& messages);
