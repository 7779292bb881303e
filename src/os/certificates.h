// Certificate stores (crypt32): the system stores of the local machine, the
// certificates in them, and the two properties the program reads (the SHA-1
// thumbprint and the display name). crypt32.dll is loaded from the system
// folder at run time.
#pragma once
#include "os/os_types.h"
#include "os/scoped_handle.h"

namespace os {

using HCERTSTORE = void*;

struct CERT_CONTEXT {
  DWORD dwCertEncodingType;
  BYTE* pbCertEncoded;
  DWORD cbCertEncoded;
  void* pCertInfo;
  HCERTSTORE hCertStore;
};
using PCCERT_CONTEXT = const CERT_CONTEXT*;

struct CRYPT_HASH_BLOB {
  DWORD cbData;
  BYTE* pbData;
};

#ifndef _WINDOWS_
// The provider is a number in a string pointer's clothes, as the platform spells it.
constexpr std::intptr_t kCertStoreProvSystemABits = 9;
inline LPCSTR const CERT_STORE_PROV_SYSTEM_A = reinterpret_cast<LPCSTR>(kCertStoreProvSystemABits);
constexpr std::intptr_t kCertStoreProvSystemRegistryABits = 12;
inline LPCSTR const CERT_STORE_PROV_SYSTEM_REGISTRY_A = reinterpret_cast<LPCSTR>(kCertStoreProvSystemRegistryABits);
constexpr DWORD CERT_SYSTEM_STORE_LOCAL_MACHINE = 0x20000;
constexpr DWORD X509_ASN_ENCODING = 0x1;
constexpr DWORD PKCS_7_ASN_ENCODING = 0x10000;
constexpr DWORD CERT_STORE_ADD_NEW = 1;
constexpr DWORD CERT_FIND_SHA1_HASH = 0x10000;
constexpr DWORD CERT_SHA1_HASH_PROP_ID = 3;
constexpr DWORD CERT_NAME_SIMPLE_DISPLAY_TYPE = 4;
constexpr DWORD CRYPT_E_NOT_FOUND = 0x80092004u;
#endif

HCERTSTORE CertOpenStore(LPCSTR provider, DWORD encodingType, std::uintptr_t cryptProv, DWORD flags,
                         const void* para);
BOOL CertCloseStore(HCERTSTORE store, DWORD flags);
// Null when the bytes are no certificate.
PCCERT_CONTEXT CertCreateCertificateContext(DWORD encodingType, const BYTE* encoded, DWORD size);
BOOL CertAddCertificateContextToStore(HCERTSTORE store, PCCERT_CONTEXT context, DWORD disposition,
                                      PCCERT_CONTEXT* storeContext);
// Null with CRYPT_E_NOT_FOUND when no further certificate matches; frees `previous`.
PCCERT_CONTEXT CertFindCertificateInStore(HCERTSTORE store, DWORD encodingType, DWORD findFlags, DWORD findType,
                                          const void* findPara, PCCERT_CONTEXT previous);
BOOL CertGetCertificateContextProperty(PCCERT_CONTEXT context, DWORD propId, void* data, DWORD* size);
// Frees the context whatever it answers.
BOOL CertDeleteCertificateFromStore(PCCERT_CONTEXT context);
BOOL CertFreeCertificateContext(PCCERT_CONTEXT context);
DWORD CertGetNameStringA(PCCERT_CONTEXT context, DWORD type, DWORD flags, void* typePara, LPSTR name,
                         DWORD size);

// One owner per open store.
struct CertStoreTraits {
  using Handle = HCERTSTORE;
  static Handle InvalidValue() { return nullptr; }
  static bool IsValid(Handle h) { return h != nullptr; }
  static void Close(Handle h) { os::CertCloseStore(h, 0); }
};
using CertStore = ScopedHandle<CertStoreTraits>;

// One owner per certificate context; release() hands it to a call that frees it.
using CertContextTraits = NullIsEmptyTraits<PCCERT_CONTEXT, &os::CertFreeCertificateContext>;
using CertContext = ScopedHandle<CertContextTraits>;

}  // namespace os
