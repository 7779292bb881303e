#include "port_list/usb_port_list.h"

#include <cstring>

#include "os/memory.h"
#include "os/spooler.h"

namespace {

bool Fail(MessageSink* reporter, const char* text) {
  if (reporter != nullptr) reporter->Error(text);
  return false;
}

}  // namespace

bool FillUsbPortList(PortListControl& list, MessageSink* reporter) {
  os::DWORD needed = 0;
  os::DWORD returned = 0;
  // The sizing call is expected to fail; a success means there are no ports at all.
  if (os::EnumPortsA(nullptr, 2, nullptr, 0, &needed, &returned)) {
    return Fail(reporter, kMsgEnumPortsFailed);
  }
  os::HeapBlock buffer(needed);
  if (!buffer) return Fail(reporter, kMsgAllocFailed);
  if (!os::EnumPortsA(nullptr, 2, buffer.get(), needed, &needed, &returned)) {
    return Fail(reporter, kMsgEnumPortsFailed);
  }
  const auto* ports = reinterpret_cast<const os::PORT_INFO_2A*>(buffer.get());
  for (os::DWORD i = 0; i < returned; ++i) {
    const char* name = ports[i].pPortName;
    if (name != nullptr && std::strstr(name, "USB") != nullptr) list.AddString(name);
  }
  // The count is that of every port, so this runs even when none was a USB port.
  if (returned != 0) list.SetCurSel(0);
  return true;
}

void OnUsbPortDropDown(PortListControl& list, MessageSink& reporter) {
  list.ResetContent();
  FillUsbPortList(list, &reporter);
}
