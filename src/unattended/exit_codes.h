// Exit codes of the unattended mode: 0 for success, one code per failure
// message of the commands, and codes for a run that never reached a command.
#pragma once
#include <string>

#include "common/message_table.h"

inline constexpr int kExitSuccess = 0;
inline constexpr int kExitUsage = 10;           // the command line is not understood
inline constexpr int kExitLogFailed = 11;       // the /log file cannot be written
inline constexpr int kExitNoResult = 12;        // the command ended without saying how it went
inline constexpr int kExitUnknownMessage = 99;  // a failure message this table does not know
// The code deployment tools (Windows Installer's ERROR_SUCCESS_REBOOT_REQUIRED)
// read as "restart the computer": given where a restart is the remedy.
inline constexpr int kExitRestartRequired = 3010;

// /status: the first check that does not hold decides the code.
inline constexpr int kExitStatusUncheckable = 80;    // a check could not be made (spooler, registry, store)
inline constexpr int kExitStatusNoDriver = 81;       // the model's driver is not installed
inline constexpr int kExitStatusNoPrinter = 82;      // no printer of that name
inline constexpr int kExitStatusOtherDriver = 83;    // the printer is on another driver
inline constexpr int kExitStatusOtherPort = 84;      // the printer is on another port
inline constexpr int kExitStatusPortMissing = 85;    // the TCP/IP port is not registered as Install writes it
inline constexpr int kExitStatusNotTrusted = 86;     // the driver package's signer is not trusted

// The exit code of failure message `id` (kExitUnknownMessage for one that
// has none).
int ExitCodeForMessage(MessageId id);
// The exit code of the failure message a command reported as `text` (its
// Chinese text, which names it in every language); kExitUnknownMessage for
// a text not in the message table.
int ExitCodeForMessage(const std::string& text);
