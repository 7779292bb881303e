#include "signer.h"

#include <openssl/err.h>
#include <openssl/evp.h>
#include <openssl/pkcs12.h>
#include <openssl/rsa.h>
#include <openssl/x509.h>
#include <openssl/x509v3.h>

namespace signer {
namespace {

constexpr char kSignedData[] = "1.2.840.113549.1.7.2";
constexpr char kContentType[] = "1.2.840.113549.1.9.3";
constexpr char kMessageDigest[] = "1.2.840.113549.1.9.4";
constexpr char kRsaEncryption[] = "1.2.840.113549.1.1.1";

std::string OpenSslError(const std::string& what) {
  char text[256] = "";
  ERR_error_string_n(ERR_get_error(), text, sizeof text);
  return what + ": " + text;
}

der::Bytes Encoded(X509* cert) {
  unsigned char* out = nullptr;
  const int n = i2d_X509(cert, &out);
  der::Bytes bytes = n > 0 ? der::Bytes(reinterpret_cast<char*>(out), n) : der::Bytes();
  OPENSSL_free(out);
  return bytes;
}

der::Bytes Digest(const EVP_MD* md, const der::Bytes& data) {
  unsigned char out[EVP_MAX_MD_SIZE];
  unsigned int n = 0;
  EVP_Digest(data.data(), data.size(), out, &n, md, nullptr);
  return der::Bytes(reinterpret_cast<char*>(out), n);
}

}  // namespace

der::Bytes Sha1(const der::Bytes& data) { return Digest(EVP_sha1(), data); }
der::Bytes Sha256(const der::Bytes& data) { return Digest(EVP_sha256(), data); }

std::unique_ptr<Signer> Signer::Adopt(void* key, X509* cert) {
  std::unique_ptr<Signer> s(new Signer());
  s->key_ = key;
  s->certificates_.push_back(Encoded(cert));
  unsigned char* name = nullptr;
  const int n = i2d_X509_NAME(X509_get_issuer_name(cert), &name);
  s->issuer_.assign(reinterpret_cast<char*>(name), n > 0 ? n : 0);
  OPENSSL_free(name);
  unsigned char* serial = nullptr;
  const int m = i2d_ASN1_INTEGER(X509_get_serialNumber(cert), &serial);
  s->serial_.assign(reinterpret_cast<char*>(serial), m > 0 ? m : 0);
  OPENSSL_free(serial);
  return s;
}

Signer::~Signer() { EVP_PKEY_free(static_cast<EVP_PKEY*>(key_)); }  // frees (and clears) the private key

std::unique_ptr<Signer> Signer::FromPfx(const std::string& pfxBytes, const std::string& password, std::string* error) {
  const unsigned char* p = reinterpret_cast<const unsigned char*>(pfxBytes.data());
  PKCS12* p12 = d2i_PKCS12(nullptr, &p, static_cast<long>(pfxBytes.size()));
  EVP_PKEY* key = nullptr;
  X509* cert = nullptr;
  STACK_OF(X509)* chain = nullptr;
  const bool parsed = p12 && PKCS12_parse(p12, password.c_str(), &key, &cert, &chain) && key && cert;
  PKCS12_free(p12);
  std::unique_ptr<Signer> s;
  if (!parsed) {
    *error = OpenSslError("cannot open the PFX (wrong password?)");
    EVP_PKEY_free(key);
  } else {
    s = Adopt(key, cert);
    for (int i = 0; i < sk_X509_num(chain); ++i) s->certificates_.push_back(Encoded(sk_X509_value(chain, i)));
  }
  X509_free(cert);
  sk_X509_pop_free(chain, X509_free);
  return s;
}

std::unique_ptr<Signer> Signer::ThrowAway(std::int64_t notBefore, std::string* error) {
  EVP_PKEY* key = EVP_RSA_gen(3072);
  X509* cert = X509_new();
  bool ok = key && cert;
  if (ok) {
    X509_NAME* name = X509_NAME_new();
    X509_NAME_add_entry_by_txt(name, "CN", MBSTRING_ASC,
                               reinterpret_cast<const unsigned char*>("Lumatrek driver package (build signer)"), -1, -1, 0);
    X509_NAME_add_entry_by_txt(name, "O", MBSTRING_ASC, reinterpret_cast<const unsigned char*>("Tovlan"), -1, -1, 0);
    // A serial from the key itself: unique per build, never reused.
    unsigned char* pub = nullptr;
    const int n = i2d_PublicKey(key, &pub);
    const der::Bytes fingerprint = Sha256(der::Bytes(reinterpret_cast<char*>(pub), n > 0 ? n : 0));
    OPENSSL_free(pub);
    BIGNUM* serial = BN_bin2bn(reinterpret_cast<const unsigned char*>(fingerprint.data()), 16, nullptr);
    BN_clear_bit(serial, 127);  // positive
    ok = X509_set_version(cert, 2) && BN_to_ASN1_INTEGER(serial, X509_get_serialNumber(cert)) &&
         X509_set_subject_name(cert, name) && X509_set_issuer_name(cert, name) &&
         ASN1_TIME_set(X509_getm_notBefore(cert), static_cast<time_t>(notBefore)) &&
         ASN1_TIME_set(X509_getm_notAfter(cert), static_cast<time_t>(notBefore) + 10LL * 366 * 86400) &&
         X509_set_pubkey(cert, key);
    BN_free(serial);
    X509_NAME_free(name);
    X509V3_CTX ctx;
    X509V3_set_ctx_nodb(&ctx);
    X509V3_set_ctx(&ctx, cert, cert, nullptr, nullptr, 0);
    for (const auto& ext : {std::pair<int, const char*>{NID_basic_constraints, "critical,CA:FALSE"},
                            {NID_key_usage, "critical,digitalSignature"},
                            {NID_ext_key_usage, "codeSigning"},
                            {NID_subject_key_identifier, "hash"}}) {
      X509_EXTENSION* e = ok ? X509V3_EXT_conf_nid(nullptr, &ctx, ext.first, ext.second) : nullptr;
      ok = e && X509_add_ext(cert, e, -1);
      X509_EXTENSION_free(e);
    }
    ok = ok && X509_sign(cert, key, EVP_sha256()) > 0;
  }
  std::unique_ptr<Signer> s;
  if (!ok) {
    *error = OpenSslError("cannot make the build's signing certificate");
    EVP_PKEY_free(key);
  } else {
    s = Adopt(key, cert);
  }
  X509_free(cert);
  return s;
}

bool Signer::Sign(const std::string& contentOid, const der::Bytes& content, der::Bytes* out, std::string* error) const {
  const der::Bytes sha256 = der::Sequence({der::Oid("2.16.840.1.101.3.4.2.1"), der::Null()});
  // The digest covers the content's contents octets, without its own tag and length.
  const der::Bytes attributes =
      der::SetOf({der::Sequence({der::Oid(kContentType), der::SetOf({der::Oid(contentOid)})}),
                  der::Sequence({der::Oid(kMessageDigest), der::SetOf({der::OctetString(Sha256(der::ContentsOf(content)))})})});
  EVP_PKEY* key = static_cast<EVP_PKEY*>(key_);
  EVP_MD_CTX* md = EVP_MD_CTX_new();
  size_t length = 0;
  der::Bytes signature;
  bool ok = md && EVP_DigestSignInit(md, nullptr, EVP_sha256(), nullptr, key) == 1 &&
            EVP_DigestSign(md, nullptr, &length, reinterpret_cast<const unsigned char*>(attributes.data()),
                           attributes.size()) == 1;
  if (ok) {
    signature.resize(length);
    ok = EVP_DigestSign(md, reinterpret_cast<unsigned char*>(&signature[0]), &length,
                        reinterpret_cast<const unsigned char*>(attributes.data()), attributes.size()) == 1;
    signature.resize(length);
  }
  EVP_MD_CTX_free(md);
  if (!ok) {
    *error = OpenSslError("cannot sign");
    return false;
  }
  der::Bytes certificates;
  for (const der::Bytes& c : certificates_) certificates += c;
  const der::Bytes signerInfo = der::Sequence({
      der::Integer(1),
      der::Sequence({issuer_, serial_}),
      sha256,
      der::Wrap(0xA0, der::ContentsOf(attributes)),  // [0] IMPLICIT, signed as a SET
      der::Sequence({der::Oid(kRsaEncryption), der::Null()}),
      der::OctetString(signature),
  });
  const der::Bytes signedData = der::Sequence({
      der::Integer(1),
      der::SetOf({sha256}),
      der::Sequence({der::Oid(contentOid), der::Explicit(0, content)}),
      der::Wrap(0xA0, certificates),
      der::SetOf({signerInfo}),
  });
  *out = der::Sequence({der::Oid(kSignedData), der::Explicit(0, signedData)});
  return true;
}

}  // namespace signer
