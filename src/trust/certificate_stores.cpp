#include "trust/certificate_stores.h"

#include <vector>

namespace {

constexpr os::DWORD kEncoding = os::X509_ASN_ENCODING | os::PKCS_7_ASN_ENCODING;
constexpr os::DWORD kSha1Size = 20;
constexpr char kHex[] = "0123456789ABCDEF";

int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

}  // namespace

os::PCCERT_CONTEXT CertificateFromDer(const std::string& bytes) {
  if (bytes.empty()) return nullptr;
  return os::CertCreateCertificateContext(kEncoding, reinterpret_cast<const os::BYTE*>(bytes.data()),
                                          static_cast<os::DWORD>(bytes.size()));
}

std::string Thumbprint(os::PCCERT_CONTEXT certificate) {
  os::BYTE hash[kSha1Size] = {};
  os::DWORD size = sizeof hash;
  if (!os::CertGetCertificateContextProperty(certificate, os::CERT_SHA1_HASH_PROP_ID, hash, &size) ||
      size != kSha1Size) {
    return "";
  }
  std::string text;
  for (os::BYTE b : hash) {
    text += kHex[b >> 4];
    text += kHex[b & 0xF];
  }
  return text;
}

std::string SubjectName(os::PCCERT_CONTEXT certificate) {
  const os::DWORD size = os::CertGetNameStringA(certificate, os::CERT_NAME_SIMPLE_DISPLAY_TYPE, 0, nullptr, nullptr, 0);
  if (size <= 1) return "";
  std::vector<char> name(size);
  os::CertGetNameStringA(certificate, os::CERT_NAME_SIMPLE_DISPLAY_TYPE, 0, nullptr, name.data(), size);
  name.back() = '\0';
  return name.data();
}

os::HCERTSTORE OpenMachineStore(const char* name, bool registryOnly) {
  return os::CertOpenStore(registryOnly ? os::CERT_STORE_PROV_SYSTEM_REGISTRY_A : os::CERT_STORE_PROV_SYSTEM_A, 0, 0,
                           os::CERT_SYSTEM_STORE_LOCAL_MACHINE, name);
}

Lookup FindByThumbprint(os::HCERTSTORE store, const std::string& thumbprint, os::PCCERT_CONTEXT* found) {
  if (thumbprint.size() != 2 * kSha1Size) return Lookup::Failed;
  os::BYTE hash[kSha1Size] = {};
  for (os::DWORD i = 0; i < kSha1Size; ++i) {
    const int high = HexValue(thumbprint[2 * i]);
    const int low = HexValue(thumbprint[2 * i + 1]);
    if (high < 0 || low < 0) return Lookup::Failed;
    hash[i] = static_cast<os::BYTE>(high << 4 | low);
  }
  os::CRYPT_HASH_BLOB blob{kSha1Size, hash};
  os::CertContext match(os::CertFindCertificateInStore(store, kEncoding, 0, os::CERT_FIND_SHA1_HASH, &blob, nullptr));
  if (match.get() == nullptr) return os::GetLastError() == os::CRYPT_E_NOT_FOUND ? Lookup::Absent : Lookup::Failed;
  if (found != nullptr) *found = match.release();
  return Lookup::Present;
}
