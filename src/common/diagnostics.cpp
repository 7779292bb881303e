#include "common/diagnostics.h"

#include <cstdio>
#include <utility>

#include "common/message_table.h"

namespace {

DiagnosticWriter& Writer() {
  static DiagnosticWriter writer;
  return writer;
}

}  // namespace

void SetDiagnosticWriter(DiagnosticWriter writer) { Writer() = std::move(writer); }

void WriteDiagnostic(const std::string& line) {
  if (Writer()) {
    Writer()(line);
    return;
  }
  std::fputs((line + "\n").c_str(), stdout);
  std::fflush(stdout);
}

void WriteDiagnostic(const char* label, const std::string& detail) {
  WriteDiagnostic(ShownText(label, UserMessageLanguage()) + detail);
}
