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

// The exit code of failure message `id` (kExitUnknownMessage for one that
// has none).
int ExitCodeForMessage(MessageId id);
// The exit code of the failure message a command reported as `text` (its
// Chinese text, which names it in every language); kExitUnknownMessage for
// a text not in the message table.
int ExitCodeForMessage(const std::string& text);
