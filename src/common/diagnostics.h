// Diagnostics printed beside the messages (the socket error of a connection
// that failed), one a line. They go to standard output, or to the writer the
// unattended mode sets so that they reach its console and its log.
#pragma once
#include <functional>
#include <string>

// Receives one diagnostic line, without its line end.
using DiagnosticWriter = std::function<void(const std::string& line)>;

// Sends later diagnostics to `writer` (an empty writer: standard output again).
void SetDiagnosticWriter(DiagnosticWriter writer);
// Prints `line` as a line of its own where diagnostics go.
void WriteDiagnostic(const std::string& line);
// Prints `label` in the user's language (common/message_table.h) followed by
// `detail` (codes and names, the same in every language), as one line.
void WriteDiagnostic(const char* label, const std::string& detail);
