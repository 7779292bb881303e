#include "fake_certificates.h"

#include <openssl/evp.h>
#include <openssl/sha.h>
#include <openssl/x509.h>

#include <cstdint>
#include <algorithm>
#include <map>
#include <memory>

#include "fake_os.h"
#include "os/certificates.h"

namespace fake {
namespace {

constexpr os::DWORD kExists = 0x80092005u;       // CRYPT_E_EXISTS
constexpr os::DWORD kBadEncoding = 0x80093102u;  // CRYPT_E_ASN1_BADTAG

struct Context {
  os::CERT_CONTEXT record{};
  std::string der;
  std::string store;  // "" for a context of no store
};

struct State {
  std::map<std::string, std::vector<std::string>> stores;  // upper-cased name, DER in order
  std::map<const os::CERT_CONTEXT*, std::unique_ptr<Context>> contexts;
  std::map<std::uintptr_t, std::string> storeNames;       // open store handles
  std::uintptr_t nextStore = 0x5000;
};

State& state() {
  static State* s = [] {
    auto* created = new State();
    OnReset([created] { *created = State(); });
    return created;
  }();
  return *s;
}

std::unique_ptr<X509, decltype(&X509_free)> Parse(const std::string& der) {
  const unsigned char* p = reinterpret_cast<const unsigned char*>(der.data());
  return {d2i_X509(nullptr, &p, static_cast<long>(der.size())), X509_free};
}

// Fails a call with `code` as its last error.
template <typename T>
T Fails(T result, os::DWORD code) {
  os::SetLastError(code);
  return result;
}

os::PCCERT_CONTEXT NewContext(const std::string& der, const std::string& store) {
  auto c = std::make_unique<Context>();
  c->der = der;
  c->store = store;
  c->record.pbCertEncoded = reinterpret_cast<os::BYTE*>(c->der.data());
  c->record.cbCertEncoded = static_cast<os::DWORD>(c->der.size());
  const os::CERT_CONTEXT* key = &c->record;
  state().contexts[key] = std::move(c);
  return key;
}

Context* Resolve(os::PCCERT_CONTEXT context) {
  auto it = state().contexts.find(context);
  return it == state().contexts.end() ? nullptr : it->second.get();
}

std::vector<std::string>* Store(os::HCERTSTORE store) {
  auto it = state().storeNames.find(reinterpret_cast<std::uintptr_t>(store));
  return it == state().storeNames.end() ? nullptr : &state().stores[it->second];
}

std::string Hex(const unsigned char* bytes, size_t size) {
  static const char kHex[] = "0123456789ABCDEF";
  std::string text;
  for (size_t i = 0; i < size; ++i) text += {kHex[bytes[i] >> 4], kHex[bytes[i] & 0xF]};
  return text;
}

}  // namespace

void Certificates::Add(const std::string& store, const std::string& der) { state().stores[Upper(store)].push_back(der); }

std::vector<std::string> Certificates::Thumbprints(const std::string& store) const {
  std::vector<std::string> out;
  for (const std::string& der : state().stores[Upper(store)]) out.push_back(Sha1Hex(der));
  return out;
}

int Certificates::Open() const { return static_cast<int>(state().storeNames.size() + state().contexts.size()); }

Certificates& certificates() {
  static Certificates c;
  state();
  return c;
}

std::string Sha1Hex(const std::string& bytes) {
  unsigned char hash[SHA_DIGEST_LENGTH];
  SHA1(reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size(), hash);
  return Hex(hash, sizeof hash);
}

std::string MakeCertificate(const std::string& commonName) {
  std::unique_ptr<EVP_PKEY, decltype(&EVP_PKEY_free)> key(EVP_EC_gen("P-256"), EVP_PKEY_free);
  std::unique_ptr<X509, decltype(&X509_free)> x(X509_new(), X509_free);
  X509_NAME* name = X509_get_subject_name(x.get());
  X509_NAME_add_entry_by_txt(name, "CN", MBSTRING_ASC, reinterpret_cast<const unsigned char*>(commonName.c_str()),
                             -1, -1, 0);
  X509_set_issuer_name(x.get(), name);
  X509_gmtime_adj(X509_getm_notBefore(x.get()), 0);
  X509_gmtime_adj(X509_getm_notAfter(x.get()), 86400);
  X509_set_pubkey(x.get(), key.get());
  X509_sign(x.get(), key.get(), EVP_sha256());
  unsigned char* der = nullptr;
  const int size = i2d_X509(x.get(), &der);
  std::string out(reinterpret_cast<char*>(der), static_cast<size_t>(size > 0 ? size : 0));
  OPENSSL_free(der);
  return out;
}

}  // namespace fake

namespace os {

HCERTSTORE CertOpenStore(LPCSTR provider, DWORD encodingType, std::uintptr_t, DWORD flags, const void* para) {
  // Only the local machine's system stores exist here.
  if (fake::Called("CertOpenStore") ||
      (provider != CERT_STORE_PROV_SYSTEM_A && provider != CERT_STORE_PROV_SYSTEM_REGISTRY_A) || encodingType != 0 ||
      flags != CERT_SYSTEM_STORE_LOCAL_MACHINE || para == nullptr) {
    return fake::Fails<HCERTSTORE>(nullptr, ERROR_ACCESS_DENIED);
  }
  const std::uintptr_t handle = fake::state().nextStore++;
  fake::state().storeNames[handle] = fake::Upper(static_cast<const char*>(para));
  return reinterpret_cast<HCERTSTORE>(handle);
}

BOOL CertCloseStore(HCERTSTORE store, DWORD) {
  fake::Called("CertCloseStore");
  return fake::state().storeNames.erase(reinterpret_cast<std::uintptr_t>(store)) == 1 ? TRUE : FALSE;
}

PCCERT_CONTEXT CertCreateCertificateContext(DWORD encodingType, const BYTE* encoded, DWORD size) {
  const std::string der(reinterpret_cast<const char*>(encoded), size);
  if (fake::Called("CertCreateCertificateContext") || !(encodingType & X509_ASN_ENCODING) || !fake::Parse(der)) {
    return fake::Fails<PCCERT_CONTEXT>(nullptr, fake::kBadEncoding);
  }
  return fake::NewContext(der, "");
}

BOOL CertAddCertificateContextToStore(HCERTSTORE store, PCCERT_CONTEXT context, DWORD disposition,
                                      PCCERT_CONTEXT* storeContext) {
  std::vector<std::string>* certificates = fake::Store(store);
  const fake::Context* c = fake::Resolve(context);
  if (fake::Called("CertAddCertificateContextToStore") || certificates == nullptr || c == nullptr ||
      disposition != CERT_STORE_ADD_NEW || storeContext != nullptr) {
    return fake::Fails(FALSE, ERROR_ACCESS_DENIED);
  }
  if (std::count(certificates->begin(), certificates->end(), c->der) > 0) return fake::Fails(FALSE, fake::kExists);
  certificates->push_back(c->der);
  return TRUE;
}

PCCERT_CONTEXT CertFindCertificateInStore(HCERTSTORE store, DWORD encodingType, DWORD, DWORD findType,
                                          const void* findPara, PCCERT_CONTEXT previous) {
  std::vector<std::string>* certificates = fake::Store(store);
  const auto* hash = static_cast<const CRYPT_HASH_BLOB*>(findPara);
  if (fake::Called("CertFindCertificateInStore") || certificates == nullptr || previous != nullptr ||
      findType != CERT_FIND_SHA1_HASH || !(encodingType & X509_ASN_ENCODING) || hash == nullptr) {
    return fake::Fails<PCCERT_CONTEXT>(nullptr, ERROR_ACCESS_DENIED);
  }
  for (const std::string& der : *certificates) {
    if (fake::Sha1Hex(der) == fake::Hex(hash->pbData, hash->cbData)) {
      return fake::NewContext(der, fake::state().storeNames[reinterpret_cast<std::uintptr_t>(store)]);
    }
  }
  return fake::Fails<PCCERT_CONTEXT>(nullptr, CRYPT_E_NOT_FOUND);
}

BOOL CertGetCertificateContextProperty(PCCERT_CONTEXT context, DWORD propId, void* data, DWORD* size) {
  const fake::Context* c = fake::Resolve(context);
  if (fake::Called("CertGetCertificateContextProperty") || c == nullptr || propId != CERT_SHA1_HASH_PROP_ID ||
      size == nullptr || (data != nullptr && *size < SHA_DIGEST_LENGTH)) {
    return fake::Fails(FALSE, ERROR_MORE_DATA);
  }
  if (data != nullptr) {
    SHA1(reinterpret_cast<const unsigned char*>(c->der.data()), c->der.size(), static_cast<unsigned char*>(data));
  }
  *size = SHA_DIGEST_LENGTH;
  return TRUE;
}

BOOL CertDeleteCertificateFromStore(PCCERT_CONTEXT context) {
  const bool failed = fake::Called("CertDeleteCertificateFromStore");
  const fake::Context* c = fake::Resolve(context);
  if (c == nullptr) return FALSE;
  const std::string der = c->der, store = c->store;
  fake::state().contexts.erase(context);  // freed whatever the answer
  if (failed || store.empty()) return fake::Fails(FALSE, ERROR_ACCESS_DENIED);
  auto& certificates = fake::state().stores[store];
  certificates.erase(std::find(certificates.begin(), certificates.end(), der));
  return TRUE;
}

BOOL CertFreeCertificateContext(PCCERT_CONTEXT context) {
  fake::Called("CertFreeCertificateContext");
  return fake::state().contexts.erase(context) == 1 ? TRUE : FALSE;
}

// The subject's common name.
DWORD CertGetNameStringA(PCCERT_CONTEXT context, DWORD type, DWORD, void*, LPSTR name, DWORD size) {
  const fake::Context* c = fake::Resolve(context);
  char cn[256] = {};
  if (c != nullptr && type == CERT_NAME_SIMPLE_DISPLAY_TYPE) {
    X509_NAME_get_text_by_NID(X509_get_subject_name(fake::Parse(c->der).get()), NID_commonName, cn, sizeof cn);
  }
  const std::string text = cn;
  if (name == nullptr || size == 0) return static_cast<DWORD>(text.size() + 1);
  const size_t n = std::min<size_t>(text.size(), size - 1);
  text.copy(name, n);
  name[n] = '\0';
  return static_cast<DWORD>(n + 1);
}

}  // namespace os
