#include "common/diagnostics.h"

#include <cstdio>
#include <utility>

namespace {

DiagnosticWriter& Writer() {
  static DiagnosticWriter writer;
  return writer;
}

}  // namespace

void SetDiagnosticWriter(DiagnosticWriter writer) { Writer() = std::move(writer); }

void WriteDiagnostic(const std::string& text) {
  if (Writer()) {
    Writer()(text);
    return;
  }
  std::fputs(text.c_str(), stdout);
  std::fflush(stdout);
}
