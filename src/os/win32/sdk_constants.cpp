// Compile-time check that every constant the os/ headers define in plain C++
// has the platform's value. The os/ headers come first, while the platform's
// macros of the same names do not exist yet; each constant is copied under a
// suffixed name, and after <windows.h> compared with the macro. Nothing here
// ends up in the program.
#include <cstdint>

#include "os/console.h"
#include "os/certificates.h"
#include "os/devices.h"
#include "os/files.h"
#include "os/os_types.h"
#include "os/processes.h"
#include "os/registry.h"
#include "os/resources.h"
#include "os/security.h"
#include "os/services.h"
#include "os/sockets.h"
#include "os/spooler.h"
#include "os/system_info.h"

#define OS_CONSTANTS(X)                                                                                     \
  X(TRUE) X(FALSE) X(INFINITE)                                                                             \
  X(ERROR_SUCCESS) X(ERROR_FILE_NOT_FOUND) X(ERROR_ACCESS_DENIED) X(ERROR_NOT_ENOUGH_MEMORY)               \
  X(ERROR_SHARING_VIOLATION) X(ERROR_INVALID_PARAMETER) X(ERROR_INSUFFICIENT_BUFFER) X(ERROR_MORE_DATA)     \
  X(ERROR_NO_MORE_ITEMS) X(ERROR_IO_PENDING)                                                               \
  /* console.h */                                                                                          \
  X(ATTACH_PARENT_PROCESS) X(STD_OUTPUT_HANDLE) X(CP_UTF8)                                                 \
  /* certificates.h */                                                                                     \
  X(CERT_SYSTEM_STORE_LOCAL_MACHINE) X(X509_ASN_ENCODING) X(PKCS_7_ASN_ENCODING) X(CERT_STORE_ADD_NEW)     \
  X(CERT_FIND_SHA1_HASH) X(CERT_SHA1_HASH_PROP_ID) X(CERT_NAME_SIMPLE_DISPLAY_TYPE) X(CRYPT_E_NOT_FOUND)   \
  /* devices.h */                                                                                          \
  X(GENERIC_READ) X(GENERIC_WRITE) X(FILE_SHARE_READ) X(FILE_SHARE_WRITE) X(OPEN_EXISTING)                 \
  X(FILE_FLAG_OVERLAPPED) X(WAIT_OBJECT_0) X(WAIT_TIMEOUT) X(WAIT_FAILED) X(ERROR_OPERATION_ABORTED)       \
  X(ERROR_IO_INCOMPLETE)                                                                                   \
  /* files.h */                                                                                            \
  X(FILE_ATTRIBUTE_READONLY) X(FILE_ATTRIBUTE_DIRECTORY) X(FILE_ATTRIBUTE_ARCHIVE)                         \
  X(FILE_ATTRIBUTE_REPARSE_POINT) X(INVALID_FILE_ATTRIBUTES) X(MAX_PATH) X(DELETE) X(READ_CONTROL)         \
  X(FILE_SHARE_DELETE) X(FILE_FLAG_BACKUP_SEMANTICS) X(FILE_FLAG_OPEN_REPARSE_POINT) X(FILE_APPEND_DATA)                    \
  /* security.h */                                                                                         \
  X(TOKEN_QUERY) X(TokenUser) X(TokenOwner)                                                                              \
  /* processes.h */                                                                                        \
  X(SW_SHOW) X(STILL_ACTIVE) X(ERROR_DIRECTORY) X(ERROR_BROKEN_PIPE) X(STARTF_USESTDHANDLES)               \
  X(HANDLE_FLAG_INHERIT)                                                                                   \
  /* registry.h */                                                                                         \
  X(REG_NONE) X(REG_SZ) X(REG_BINARY) X(REG_DWORD) X(REG_MULTI_SZ) X(REG_OPTION_NON_VOLATILE) X(KEY_READ)  \
  X(KEY_WRITE) X(KEY_WOW64_64KEY)                                                                          \
  /* services.h */                                                                                         \
  X(SC_MANAGER_ALL_ACCESS) X(SERVICE_QUERY_STATUS) X(SERVICE_START) X(SERVICE_STOP)                        \
  X(SERVICE_PAUSE_CONTINUE) X(SERVICE_WIN32) X(SERVICE_STATE_ALL) X(SERVICE_STOPPED)                       \
  X(SERVICE_START_PENDING) X(SERVICE_STOP_PENDING) X(SERVICE_RUNNING) X(SERVICE_CONTINUE_PENDING)          \
  X(SERVICE_PAUSE_PENDING) X(SERVICE_PAUSED) X(SERVICE_CONTROL_STOP) X(SERVICE_CONTROL_CONTINUE)           \
  X(ERROR_INVALID_HANDLE) X(ERROR_DEPENDENT_SERVICES_RUNNING) X(ERROR_INVALID_SERVICE_CONTROL)             \
  X(ERROR_SERVICE_ALREADY_RUNNING) X(ERROR_SERVICE_DISABLED) X(ERROR_SERVICE_DOES_NOT_EXIST)               \
  X(ERROR_SERVICE_CANNOT_ACCEPT_CTRL) X(ERROR_SERVICE_NOT_ACTIVE)                                          \
  /* sockets.h */                                                                                          \
  X(INVALID_SOCKET) X(SOCKET_ERROR) X(AF_INET) X(SOCK_STREAM) X(SOL_SOCKET) X(SO_SNDTIMEO) X(SO_RCVTIMEO)      \
  X(SO_ERROR) X(FIONBIO) X(WSAEWOULDBLOCK) X(WSAETIMEDOUT)                                                 \
  /* spooler.h */                                                                                          \
  X(PRINTER_ENUM_LOCAL) X(PRINTER_ENUM_CONNECTIONS) X(PRINTER_ALL_ACCESS) X(JOB_CONTROL_CANCEL)            \
  X(JOB_CONTROL_DELETE)                                                                                    \
  /* system_info.h */                                                                                      \
  X(PROCESSOR_ARCHITECTURE_INTEL) X(PROCESSOR_ARCHITECTURE_IA64) X(PROCESSOR_ARCHITECTURE_AMD64) X(LANG_CHINESE)

namespace from_os {
#define COPY_OS_CONSTANT(name) constexpr auto name##_os = os::name;
OS_CONSTANTS(COPY_OS_CONSTANT)
#undef COPY_OS_CONSTANT
// The handle constants, by their bits.
constexpr std::intptr_t INVALID_HANDLE_VALUE_os = os::kInvalidHandleValueBits;
constexpr std::intptr_t HKEY_LOCAL_MACHINE_os = os::kHkeyLocalMachineBits;
constexpr std::intptr_t CERT_STORE_PROV_SYSTEM_A_os = os::kCertStoreProvSystemABits;
constexpr std::intptr_t CERT_STORE_PROV_SYSTEM_REGISTRY_A_os = os::kCertStoreProvSystemRegistryABits;
}  // namespace from_os

#include "os/win32/win32.h"

namespace {

// Equal, and each converts to the other's type without a change.
template <typename Os, typename Sdk>
constexpr bool SameValue(Os os, Sdk sdk) {
  return os == static_cast<Os>(sdk) && static_cast<Sdk>(os) == sdk;
}

#define CHECK_OS_CONSTANT(name) static_assert(SameValue(from_os::name##_os, (name)), "os::" #name);
OS_CONSTANTS(CHECK_OS_CONSTANT)
#undef CHECK_OS_CONSTANT

// The platform defines its handle constants as casts to a handle type, which
// is no constant expression; read the same definitions with an integer type
// in the handle's place.
#define HANDLE LONG_PTR
#define HKEY LONG_PTR
static_assert(SameValue(from_os::INVALID_HANDLE_VALUE_os, INVALID_HANDLE_VALUE), "os::INVALID_HANDLE_VALUE");
static_assert(SameValue(from_os::HKEY_LOCAL_MACHINE_os, HKEY_LOCAL_MACHINE), "os::HKEY_LOCAL_MACHINE");
#define LPCSTR LONG_PTR
static_assert(SameValue(from_os::CERT_STORE_PROV_SYSTEM_A_os, CERT_STORE_PROV_SYSTEM_A), "os::CERT_STORE_PROV_SYSTEM_A");
static_assert(SameValue(from_os::CERT_STORE_PROV_SYSTEM_REGISTRY_A_os, CERT_STORE_PROV_SYSTEM_REGISTRY_A),
              "os::CERT_STORE_PROV_SYSTEM_REGISTRY_A");
#undef LPCSTR
#undef HANDLE
#undef HKEY

// The plain C++ types have the platform's sizes and signedness.
template <typename Os, typename Sdk>
constexpr bool SameType() {
  return sizeof(Os) == sizeof(Sdk) && (static_cast<Os>(-1) < 0) == (static_cast<Sdk>(-1) < 0);
}
static_assert(SameType<os::BYTE, ::BYTE>(), "BYTE");
static_assert(SameType<os::WORD, ::WORD>(), "WORD");
static_assert(SameType<os::DWORD, ::DWORD>(), "DWORD");
static_assert(SameType<os::LONG, ::LONG>(), "LONG");
static_assert(SameType<os::BOOL, ::BOOL>(), "BOOL");
static_assert(SameType<os::UINT, ::UINT>(), "UINT");
static_assert(SameType<os::WCHAR, ::WCHAR>(), "WCHAR");
static_assert(SameType<os::BOOLEAN, ::BOOLEAN>(), "BOOLEAN");
static_assert(SameType<os::REGSAM, ::REGSAM>(), "REGSAM");
static_assert(SameType<os::SOCKET, ::SOCKET>(), "SOCKET");

}  // namespace
