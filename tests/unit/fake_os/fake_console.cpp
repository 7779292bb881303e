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

const char* IconvName(os::UINT codePage) {
  return codePage == 936 ? "CP936" : codePage == os::CP_UTF8 ? "UTF-8" : nullptr;
}

// `bytes` from encoding `from` to `to`; false for bytes that do not convert.
bool Convert(const char* from, const char* to, const std::string& bytes, std::string* out) {
  iconv_t cd = iconv_open(to, from);
  if (cd == reinterpret_cast<iconv_t>(-1)) return false;
  std::string in = bytes;
  out->assign(in.size() * 4 + 4, '\0');
  char* inPtr = &in[0];
  char* outPtr = &(*out)[0];
  std::size_t inLeft = in.size(), outLeft = out->size();
  const bool ok = in.empty() || iconv(cd, &inPtr, &inLeft, &outPtr, &outLeft) != static_cast<std::size_t>(-1);
  iconv_close(cd);
  out->resize(out->size() - outLeft);
  return ok;
}

// The sizing call (room 0) answers the size; a filling call needs the room.
int Answer(const std::string& converted, std::size_t unit, void* buffer, int room) {
  const int size = static_cast<int>(converted.size() / unit);
  if (room == 0) return size;
  if (room < size) {
    os::SetLastError(os::ERROR_INSUFFICIENT_BUFFER);
    return 0;
  }
  std::memcpy(buffer, converted.data(), converted.size());
  return size;
}

}  // namespace

std::string Console::Output() const {
  std::string out;
  if (const Device* d = devices().Find("CONOUT$")) out += d->received;
  std::string utf8;
  Convert("UTF-16LE", "UTF-8", std::string(reinterpret_cast<const char*>(shown.data()), shown.size() * 2), &utf8);
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
  std::string utf16;
  if (fake::Called("MultiByteToWideChar") || fake::IconvName(codePage) == nullptr ||
      !fake::Convert(fake::IconvName(codePage), "UTF-16LE", std::string(text, count), &utf16)) {
    SetLastError(1113);  // ERROR_NO_UNICODE_TRANSLATION
    return 0;
  }
  return fake::Answer(utf16, sizeof(WCHAR), wide, wideCount);
}

int WideCharToMultiByte(UINT codePage, DWORD, const WCHAR* wide, int count, LPSTR text, int bytesCount, LPCSTR,
                        BOOL*) {
  std::string bytes;
  if (fake::Called("WideCharToMultiByte") || fake::IconvName(codePage) == nullptr ||
      !fake::Convert("UTF-16LE", fake::IconvName(codePage), std::string(reinterpret_cast<const char*>(wide), count * 2), &bytes)) {
    SetLastError(1113);
    return 0;
  }
  return fake::Answer(bytes, 1, text, bytesCount);
}

HANDLE GetStdHandle(DWORD which) {
  fake::Called("GetStdHandle");
  if (which != STD_OUTPUT_HANDLE || !fake::console().redirected) return nullptr;
  return fake::devices().Open("<stdout>");
}

}  // namespace os
