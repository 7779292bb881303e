#include "fake_console.h"

#include <iconv.h>

#include <cstring>

#include "fake_devices.h"
#include "fake_os.h"
#include "os/console.h"
#include "os/devices.h"

namespace fake {

Console& console() {
  static Console* c = [] {
    auto* created = new Console();
    OnReset([created] { *created = Console(); });
    return created;
  }();
  return *c;
}

namespace {

// `bytes` from code page `from` to `to` (65001, 936 or 1200 for UTF-16), or
// nothing for a code page the fake does not know or bytes that do not convert.
bool Convert(unsigned from, unsigned to, std::string in, std::string* out) {
  auto name = [](unsigned cp) { return cp == 936 ? "CP936" : cp == 1200 ? "UTF-16LE" : cp == 65001 ? "UTF-8" : ""; };
  iconv_t cd = iconv_open(name(to), name(from));
  if (cd == reinterpret_cast<iconv_t>(-1)) return false;
  out->assign(in.size() * 4, '\0');
  char *inPtr = &in[0], *outPtr = &(*out)[0];
  std::size_t inLeft = in.size(), outLeft = out->size();
  const bool ok = iconv(cd, &inPtr, &inLeft, &outPtr, &outLeft) != static_cast<std::size_t>(-1);
  iconv_close(cd);
  out->resize(out->size() - outLeft);
  return ok;
}

// The conversion calls' protocol: the sizing call (room 0) answers the size in
// `unit`s; a filling call needs the room.
int Converted(const char* call, unsigned from, unsigned to, const std::string& in, void* buffer, int room) {
  std::string out;
  if (Called(call) || !Convert(from, to, in, &out)) {
    os::SetLastError(1113);  // ERROR_NO_UNICODE_TRANSLATION
    return 0;
  }
  const int size = static_cast<int>(out.size() / (to == 1200 ? 2 : 1));
  if (room != 0 && room < size) {
    os::SetLastError(os::ERROR_INSUFFICIENT_BUFFER);
    return 0;
  }
  if (room != 0) std::memcpy(buffer, out.data(), out.size());
  return size;
}

}  // namespace

std::string Console::Output() const {
  std::string out, utf8;
  if (const Device* d = devices().Find("CONOUT$")) out += d->received;
  Convert(1200, 65001, std::string(reinterpret_cast<const char*>(shown.data()), shown.size() * 2), &utf8);
  out += utf8;
  if (const Device* d = devices().Find("<stdout>")) out += d->received;
  return out;
}

}  // namespace fake

namespace os {

LPCSTR GetCommandLineA() {
  fake::Called("GetCommandLineA");
  return fake::console().commandLine.c_str();
}

BOOL AttachConsole(DWORD processId) {
  fake::Console& c = fake::console();
  if (fake::Called("AttachConsole") || processId != ATTACH_PARENT_PROCESS || !c.parentConsole || c.attached) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  c.attached = true;
  if (fake::devices().Find("CONOUT$") == nullptr) fake::devices().Add("CONOUT$");
  return TRUE;
}

BOOL GetConsoleMode(HANDLE console, DWORD* mode) {
  const fake::Device* d = fake::devices().Of(console);
  if (fake::Called("GetConsoleMode") || d == nullptr || d != fake::devices().Find("CONOUT$")) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  *mode = 3;  // ENABLE_PROCESSED_OUTPUT | ENABLE_WRAP_AT_EOL_OUTPUT
  return TRUE;
}

BOOL WriteConsoleW(HANDLE console, const WCHAR* text, DWORD count, DWORD* written, void*) {
  DWORD mode = 0;
  if (fake::Called("WriteConsoleW") || !GetConsoleMode(console, &mode)) return FALSE;
  fake::console().shown.append(text, count);
  *written = count;
  return TRUE;
}

int MultiByteToWideChar(UINT codePage, DWORD, LPCSTR text, int count, WCHAR* wide, int wideCount) {
  return fake::Converted("MultiByteToWideChar", codePage, 1200, std::string(text, count), wide, wideCount);
}

int WideCharToMultiByte(UINT codePage, DWORD, const WCHAR* wide, int count, LPSTR text, int bytesCount, LPCSTR,
                        BOOL*) {
  const std::string in(reinterpret_cast<const char*>(wide), static_cast<std::size_t>(count) * 2);
  return fake::Converted("WideCharToMultiByte", 1200, codePage, in, text, bytesCount);
}

HANDLE GetStdHandle(DWORD which) {
  fake::Called("GetStdHandle");
  if (which != STD_OUTPUT_HANDLE || !fake::console().redirected) return nullptr;
  return fake::devices().Open("<stdout>");
}

}  // namespace os
