#include "testprint/connect_test_command.h"

#include <optional>
#include <regex>
#include <string>

#include "common/form_validation.h"
#include "testprint/network_transport.h"
#include "testprint/sample_staging.h"
#include "testprint/test_page.h"

void RunConnectTest(const SetupForm& form, MessageSink& messages) {
  TestPrintSession session(messages);
  std::optional<PrintJobBuffer> page = PrintJobBuffer::Create();
  const std::regex ipv4 = CompileIpv4Pattern();

  std::string address = form.HostAddress();
  switch (CheckNetworkAddress(address, ipv4)) {
    case AddressCheck::RejectedByLength:
      messages.Error(kMsgAddressLengthWrong);
      return;
    case AddressCheck::RejectedByForm:
      messages.Error(kMsgAddressFormWrong);
      return;
    case AddressCheck::HostName: {
      // The page and the connection use the dotted address the name resolves to.
      char resolved[256] = {};
      if (!ResolveHostAddress(address.c_str(), resolved)) {
        messages.Error(kMsgResolveFailed);
        return;
      }
      address = resolved;
      break;
    }
    case AddressCheck::Ipv4Address:
      break;
  }
  const int port = CheckPortText(form.PortText());
  if (port == 0) {
    messages.Error(kMsgPortWrong);
    return;
  }
  messages.Step("checked", address + " port " + std::to_string(port));

  // Without its buffer the page would go out empty and be reported as sent.
  if (!page) {
    messages.Error(kMsgAllocFailed);
    return;
  }

  if (!session.StageSample()) return;
  if (!session.LoadPicture()) {
    messages.Error(kMsgTestExtractFailed);
    return;
  }
  ComposeTestPage(&*page, address.c_str(), &session.picture());
  if (SendToNetworkPrinter(address.c_str(), port, page->data(), page->length())) {
    messages.Notice(kMsgTestDataSent);
  } else {
    messages.Error(kMsgTestPortWriteFailed);
  }
}
