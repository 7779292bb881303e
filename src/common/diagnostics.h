// Diagnostics printed beside the messages (the socket error of a connection
// that failed). They go to standard output, or to the writer the unattended
// mode sets so that they reach its console in its encoding.
#pragma once
#include <functional>
#include <string>

using DiagnosticWriter = std::function<void(const std::string& text)>;

// Sends later diagnostics to `writer` (an empty writer: standard output again).
void SetDiagnosticWriter(DiagnosticWriter writer);
// Prints `text` (no line end added) where diagnostics go.
void WriteDiagnostic(const std::string& text);
