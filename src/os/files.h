// Files, folders and environment: the platform calls the staging, the
// commands and the uninstaller make, and the C runtime's file streams (which
// the program opens with fopen modes "wb" and "rb").
#pragma once
#include <cstddef>

#include "os/os_types.h"
#include "os/scoped_handle.h"

namespace os {

#ifndef _WINDOWS_
constexpr DWORD FILE_ATTRIBUTE_READONLY = 0x1;
constexpr DWORD FILE_ATTRIBUTE_DIRECTORY = 0x10;
constexpr DWORD FILE_ATTRIBUTE_ARCHIVE = 0x20;
constexpr DWORD FILE_ATTRIBUTE_NORMAL = 0x80;
constexpr DWORD FILE_ATTRIBUTE_REPARSE_POINT = 0x400;
constexpr DWORD INVALID_FILE_ATTRIBUTES = 0xFFFFFFFFu;
constexpr int MAX_PATH = 260;

// CreateFileA (os/devices.h) on files and folders.
constexpr DWORD FILE_LIST_DIRECTORY = 0x1;
constexpr DWORD FILE_READ_ATTRIBUTES = 0x80;
constexpr DWORD FILE_APPEND_DATA = 0x4;  // alone (without GENERIC_WRITE): every write goes to the end
constexpr DWORD READ_CONTROL = 0x20000;
constexpr DWORD DELETE = 0x10000;  // refused while another handle lacks FILE_SHARE_DELETE
constexpr DWORD FILE_SHARE_DELETE = 0x4;
constexpr DWORD CREATE_NEW = 1;
constexpr DWORD OPEN_ALWAYS = 4;
constexpr DWORD FILE_FLAG_BACKUP_SEMANTICS = 0x02000000u;  // needed to open a folder
constexpr DWORD FILE_FLAG_OPEN_REPARSE_POINT = 0x00200000u;  // opens a link itself, not its target
constexpr DWORD ERROR_FILE_EXISTS = 80;
constexpr DWORD ERROR_ALREADY_EXISTS = 183;
#endif

struct SECURITY_ATTRIBUTES {
  DWORD nLength;
  void* lpSecurityDescriptor;
  BOOL bInheritHandle;
};

struct FILETIME {
  DWORD dwLowDateTime;
  DWORD dwHighDateTime;
};

struct WIN32_FIND_DATAA {
  DWORD dwFileAttributes;
  FILETIME ftCreationTime;
  FILETIME ftLastAccessTime;
  FILETIME ftLastWriteTime;
  DWORD nFileSizeHigh;
  DWORD nFileSizeLow;
  DWORD dwReserved0;
  DWORD dwReserved1;
  char cFileName[260];
  char cAlternateFileName[14];
};

struct BY_HANDLE_FILE_INFORMATION {
  DWORD dwFileAttributes;
  FILETIME ftCreationTime;
  FILETIME ftLastAccessTime;
  FILETIME ftLastWriteTime;
  DWORD dwVolumeSerialNumber;
  DWORD nFileSizeHigh;
  DWORD nFileSizeLow;
  DWORD nNumberOfLinks;
  DWORD nFileIndexHigh;
  DWORD nFileIndexLow;
};

DWORD ExpandEnvironmentStringsA(LPCSTR src, LPSTR dst, DWORD size);
BOOL PathFileExistsA(LPCSTR path);
BOOL PathIsDirectoryA(LPCSTR path);
BOOL PathRemoveFileSpecA(LPSTR path);
DWORD GetFileAttributesA(LPCSTR path);
BOOL CreateDirectoryA(LPCSTR path, SECURITY_ATTRIBUTES* securityAttributes);
// Renames without replacing anything (flags 0).
BOOL MoveFileExA(LPCSTR from, LPCSTR to, DWORD flags);
// What a handle from CreateFileA was opened on (its attributes tell a link).
BOOL GetFileInformationByHandle(HANDLE file, BY_HANDLE_FILE_INFORMATION* info);
// The full path of a file and the path its handle really reaches: every link
// resolved, "\\?\" first (flags 0: the drive-letter form). Each returns
// the length, or the size needed when `buffer` is too small, or 0 on failure.
DWORD GetFullPathNameA(LPCSTR name, DWORD size, LPSTR buffer, LPSTR* filePart);
DWORD GetFinalPathNameByHandleA(HANDLE file, LPSTR buffer, DWORD size, DWORD flags);
// Cuts an open file at its handle's position (0 right after opening).
BOOL SetEndOfFile(HANDLE file);
BOOL DeleteFileA(LPCSTR path);
BOOL RemoveDirectoryA(LPCSTR path);
HANDLE FindFirstFileA(LPCSTR pattern, WIN32_FIND_DATAA* data);
BOOL FindNextFileA(HANDLE find, WIN32_FIND_DATAA* data);
BOOL FindClose(HANDLE find);
DWORD GetCurrentDirectoryA(DWORD size, LPSTR buffer);
BOOL SetCurrentDirectoryA(LPCSTR path);
// Whether `byte` starts a double-byte character in the ANSI code page (GBK on
// the target systems, where a trail byte may be 0x5C, the backslash).
BOOL IsDBCSLeadByte(BYTE byte);

// C runtime streams. FILE is opaque here.
struct FILE;
FILE* fopen(const char* path, const char* mode);
std::size_t fread(void* buffer, std::size_t size, std::size_t count, FILE* stream);
std::size_t fwrite(const void* buffer, std::size_t size, std::size_t count, FILE* stream);
int fseek(FILE* stream, long offset, int origin);  // origin: 0 set, 1 current, 2 end
long ftell(FILE* stream);
int fclose(FILE* stream);

// One owner per open stream.
using FileStreamTraits = NullIsEmptyTraits<FILE*, &os::fclose>;
// A stream opened with fopen.
class FileStream : public ScopedHandle<FileStreamTraits> {
 public:
  FileStream(const char* path, const char* mode) : ScopedHandle(os::fopen(path, mode)) {}
  // Closes now and reports fclose's result (a write that could not be
  // flushed shows up here); 0 when nothing was open.
  int Close() {
    FILE* f = release();
    return f != nullptr ? os::fclose(f) : 0;
  }
};

// One owner per FindFirstFileA listing.
struct FindListingTraits {
  using Handle = HANDLE;
  static Handle InvalidValue() { return INVALID_HANDLE_VALUE; }
  static bool IsValid(Handle h) { return h != INVALID_HANDLE_VALUE; }
  static void Close(Handle h) { os::FindClose(h); }
};
// A FindFirstFileA listing; Next reads the following entry.
class FindListing : public ScopedHandle<FindListingTraits> {
 public:
  FindListing(LPCSTR pattern, WIN32_FIND_DATAA* data) : ScopedHandle(os::FindFirstFileA(pattern, data)) {}
  BOOL Next(WIN32_FIND_DATAA* data) { return os::FindNextFileA(get(), data); }
};

}  // namespace os
