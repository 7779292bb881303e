#include "testprint/find_usb_port_command.h"

#include <optional>
#include <string>

#include "testprint/sample_staging.h"
#include "testprint/test_page.h"
#include "testprint/usb_transport.h"
#include "usb/usb_printer_discovery.h"

void RunFindUsbPort(PortListControl& ports, MessageSink& messages) {
  TestPrintSession session(messages);
  if (!session.StageSample()) return;
  if (!session.LoadPicture()) {
    messages.Error(kMsgTestExtractFailed);
    return;
  }

  bool firstSuccess = true;
  bool tookThePage = false;
  const int count = ports.GetCount();
  for (int i = 0; i < count; ++i) {
    char portName[1024] = {};
    ports.GetLBText(i, portName, sizeof portName);
    if (portName[0] == '\0') continue;
    std::string stem;
    if (!FindUsbDeviceStem(portName, stem)) {
      messages.Step("page written", std::string(portName) + ": no USB printer device");
      continue;
    }
    // Each printer gets its own page, headed by its port name.
    std::optional<PrintJobBuffer> page = PrintJobBuffer::Create();
    if (!page) {
      messages.Error(kMsgAllocFailed);
      return;
    }
    ComposeTestPage(&*page, portName, &session.picture());
    const bool written = WriteToUsbDevice(stem, page->data(), static_cast<os::DWORD>(page->length()));
    messages.Step("page written", std::string(portName) + (written ? ": ok" : ": failed"));
    if (!written) continue;
    if (firstSuccess) {
      firstSuccess = false;
      ports.SelectString(portName);
    }
    tookThePage = true;
  }
  if (!tookThePage) messages.Error(kMsgTestPortWriteFailed);
}
