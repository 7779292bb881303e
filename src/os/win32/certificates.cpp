// Certificate store adapters. crypt32.dll is no KnownDLL: like winspool.drv it
// is loaded from the system folder, once, before WinMain, and each call is
// found by name, so the import table names no DLL a planted copy could stand in for.
#include "os/win32/win32.h"  // first: the platform headers

#include "os/certificates.h"

static_assert(sizeof(os::CERT_CONTEXT) == sizeof(::CERT_CONTEXT), "CERT_CONTEXT layout");
static_assert(offsetof(os::CERT_CONTEXT, hCertStore) == offsetof(::CERT_CONTEXT, hCertStore), "hCertStore");
static_assert(sizeof(os::CRYPT_HASH_BLOB) == sizeof(::CRYPT_HASH_BLOB), "CRYPT_HASH_BLOB layout");

namespace os {

namespace {

const HMODULE crypt32 = win32::LoadSystemLibrary("crypt32.dll");

::PCCERT_CONTEXT Sdk(PCCERT_CONTEXT context) { return reinterpret_cast<::PCCERT_CONTEXT>(context); }
PCCERT_CONTEXT Os(::PCCERT_CONTEXT context) { return reinterpret_cast<PCCERT_CONTEXT>(context); }

#define CRYPT32(name) win32::Entry<decltype(&::name)>(crypt32, #name)

}  // namespace

HCERTSTORE CertOpenStore(LPCSTR provider, DWORD encodingType, std::uintptr_t cryptProv, DWORD flags,
                         const void* para) {
  static const auto entry = CRYPT32(CertOpenStore);
  return win32::CallOr<::HCERTSTORE>(nullptr, entry, provider, encodingType, cryptProv, flags, para);
}

BOOL CertCloseStore(HCERTSTORE store, DWORD flags) {
  static const auto entry = CRYPT32(CertCloseStore);
  return win32::CallOr<BOOL>(FALSE, entry, store, flags);
}

PCCERT_CONTEXT CertCreateCertificateContext(DWORD encodingType, const BYTE* encoded, DWORD size) {
  static const auto entry = CRYPT32(CertCreateCertificateContext);
  return Os(win32::CallOr<::PCCERT_CONTEXT>(nullptr, entry, encodingType, encoded, size));
}

BOOL CertAddCertificateContextToStore(HCERTSTORE store, PCCERT_CONTEXT context, DWORD disposition,
                                      PCCERT_CONTEXT* storeContext) {
  static const auto entry = CRYPT32(CertAddCertificateContextToStore);
  return win32::CallOr<BOOL>(FALSE, entry, store, Sdk(context), disposition,
                             reinterpret_cast<::PCCERT_CONTEXT*>(storeContext));
}

PCCERT_CONTEXT CertFindCertificateInStore(HCERTSTORE store, DWORD encodingType, DWORD findFlags, DWORD findType,
                                          const void* findPara, PCCERT_CONTEXT previous) {
  static const auto entry = CRYPT32(CertFindCertificateInStore);
  return Os(win32::CallOr<::PCCERT_CONTEXT>(nullptr, entry, store, encodingType, findFlags, findType, findPara,
                                            Sdk(previous)));
}

BOOL CertGetCertificateContextProperty(PCCERT_CONTEXT context, DWORD propId, void* data, DWORD* size) {
  static const auto entry = CRYPT32(CertGetCertificateContextProperty);
  return win32::CallOr<BOOL>(FALSE, entry, Sdk(context), propId, data, reinterpret_cast<::DWORD*>(size));
}

BOOL CertDeleteCertificateFromStore(PCCERT_CONTEXT context) {
  static const auto entry = CRYPT32(CertDeleteCertificateFromStore);
  return win32::CallOr<BOOL>(FALSE, entry, Sdk(context));
}

BOOL CertFreeCertificateContext(PCCERT_CONTEXT context) {
  static const auto entry = CRYPT32(CertFreeCertificateContext);
  return win32::CallOr<BOOL>(FALSE, entry, Sdk(context));
}

DWORD CertGetNameStringA(PCCERT_CONTEXT context, DWORD type, DWORD flags, void* typePara, LPSTR name,
                         DWORD size) {
  static const auto entry = CRYPT32(CertGetNameStringA);
  return win32::CallOr<::DWORD>(0, entry, Sdk(context), type, flags, typePara, name, size);
}

}  // namespace os
