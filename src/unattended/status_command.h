// "/status": whether this machine is set up as Install would leave it, for a
// deployment tool's detection rule. Changes nothing on the machine (the
// driver package is unpacked into a working folder of its own, removed
// again, only to read its signer certificate).
#pragma once
#include <functional>
#include <string>

#include "common/messages.h"
#include "common/setup_form.h"

using StatusLine = std::function<void(const std::string& line)>;

// Checks, in this order, the model's driver, the printer of the form's name
// on that driver and the form's port, the TCP/IP port's registration (network
// printers) and the trust in the package's signer, one `line` each, and then
// the printer's real-time status (a printer that does not answer is reported,
// and is no failure). A form value the commands refuse is reported through
// `messages` as Install reports it. Returns 0 when every check holds, else the
// code of the first that does not (unattended/exit_codes.h), or -1 after a
// refused form value.
[[nodiscard]] int RunStatusCommand(const SetupForm& form, MessageSink& messages, const StatusLine& line);

// The printer's real-time status in words, for the log of a test print: the
// network printer of the form's address and port, or the USB printer of its
// port name.
std::string PrinterStatusOf(const SetupForm& form);
