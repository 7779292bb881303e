// Filling the "USB Port:" list with the spooler's ports whose name holds "USB".
#pragma once
#include "common/messages.h"
#include "common/port_list_control.h"

inline constexpr const char kMsgEnumPortsFailed[] = "枚举端口失败";

// Adds the USB port names (exact-case "USB" anywhere in the name) and selects
// item 0 when the spooler reported any port. Returns whether the enumeration
// succeeded; failures are shown through `reporter`, or silently when it is null.
bool FillUsbPortList(PortListControl& list, MessageSink* reporter);

// The list's drop-down notification: empty it, then fill it with reporting.
void OnUsbPortDropDown(PortListControl& list, MessageSink& reporter);
