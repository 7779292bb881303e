// File, folder, environment and C runtime stream adapters.
#include "os/win32/win32.h"  // first: the platform headers

#include <cstdio>

#include "os/files.h"

static_assert(sizeof(os::WIN32_FIND_DATAA) == sizeof(::WIN32_FIND_DATAA), "WIN32_FIND_DATAA layout");
static_assert(sizeof(os::SECURITY_ATTRIBUTES) == sizeof(::SECURITY_ATTRIBUTES), "SECURITY_ATTRIBUTES layout");
static_assert(sizeof(os::BY_HANDLE_FILE_INFORMATION) == sizeof(::BY_HANDLE_FILE_INFORMATION),
              "BY_HANDLE_FILE_INFORMATION layout");

namespace os {
namespace {
::FILE* Crt(FILE* f) { return reinterpret_cast<::FILE*>(f); }
}  // namespace

DWORD ExpandEnvironmentStringsA(LPCSTR src, LPSTR dst, DWORD size) {
  return ::ExpandEnvironmentStringsA(src, dst, size);
}
BOOL PathFileExistsA(LPCSTR path) { return ::PathFileExistsA(path); }
BOOL PathIsDirectoryA(LPCSTR path) { return ::PathIsDirectoryA(path); }
BOOL PathRemoveFileSpecA(LPSTR path) { return ::PathRemoveFileSpecA(path); }
DWORD GetFileAttributesA(LPCSTR path) { return ::GetFileAttributesA(path); }
BOOL CreateDirectoryA(LPCSTR path, SECURITY_ATTRIBUTES* securityAttributes) {
  return ::CreateDirectoryA(path, reinterpret_cast<LPSECURITY_ATTRIBUTES>(securityAttributes));
}
BOOL MoveFileExA(LPCSTR from, LPCSTR to, DWORD flags) { return ::MoveFileExA(from, to, flags); }
BOOL GetFileInformationByHandle(HANDLE file, BY_HANDLE_FILE_INFORMATION* info) {
  return ::GetFileInformationByHandle(file, reinterpret_cast<::LPBY_HANDLE_FILE_INFORMATION>(info));
}
DWORD GetFullPathNameA(LPCSTR name, DWORD size, LPSTR buffer, LPSTR* filePart) {
  return ::GetFullPathNameA(name, size, buffer, filePart);
}
DWORD GetFinalPathNameByHandleA(HANDLE file, LPSTR buffer, DWORD size, DWORD flags) {
  return ::GetFinalPathNameByHandleA(file, buffer, size, flags);
}
BOOL SetEndOfFile(HANDLE file) { return ::SetEndOfFile(file); }
BOOL DeleteFileA(LPCSTR path) { return ::DeleteFileA(path); }
BOOL RemoveDirectoryA(LPCSTR path) { return ::RemoveDirectoryA(path); }
HANDLE FindFirstFileA(LPCSTR pattern, WIN32_FIND_DATAA* data) {
  return ::FindFirstFileA(pattern, reinterpret_cast<::WIN32_FIND_DATAA*>(data));
}
BOOL FindNextFileA(HANDLE find, WIN32_FIND_DATAA* data) {
  return ::FindNextFileA(find, reinterpret_cast<::WIN32_FIND_DATAA*>(data));
}
BOOL FindClose(HANDLE find) { return ::FindClose(find); }
DWORD GetCurrentDirectoryA(DWORD size, LPSTR buffer) { return ::GetCurrentDirectoryA(size, buffer); }
BOOL SetCurrentDirectoryA(LPCSTR path) { return ::SetCurrentDirectoryA(path); }
BOOL IsDBCSLeadByte(BYTE byte) { return ::IsDBCSLeadByte(byte); }

FILE* fopen(const char* path, const char* mode) { return reinterpret_cast<FILE*>(std::fopen(path, mode)); }
std::size_t fread(void* buffer, std::size_t size, std::size_t count, FILE* stream) {
  return std::fread(buffer, size, count, Crt(stream));
}
std::size_t fwrite(const void* buffer, std::size_t size, std::size_t count, FILE* stream) {
  return std::fwrite(buffer, size, count, Crt(stream));
}
int fseek(FILE* stream, long offset, int origin) { return std::fseek(Crt(stream), offset, origin); }
long ftell(FILE* stream) { return std::ftell(Crt(stream)); }
int fclose(FILE* stream) { return std::fclose(Crt(stream)); }

}  // namespace os
