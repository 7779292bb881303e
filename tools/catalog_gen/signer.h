// The catalog's signer, through OpenSSL: the key and certificates of a PFX,
// or a throw-away self-signed code-signing certificate whose key lives only
// in this process's memory and is freed with the signer.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "der.h"

struct x509_st;  // OpenSSL's X509

namespace signer {

class Signer {
 public:
  // A PFX opened with its password; nullptr with *error set on failure.
  static std::unique_ptr<Signer> FromPfx(const std::string& pfxBytes, const std::string& password, std::string* error);
  // A fresh RSA key and a self-signed certificate valid from notBefore.
  static std::unique_ptr<Signer> ThrowAway(std::int64_t notBefore, std::string* error);
  ~Signer();
  Signer(const Signer&) = delete;
  Signer& operator=(const Signer&) = delete;

  const der::Bytes& Certificate() const { return certificates_.front(); }
  // A DER PKCS #7 SignedData whose content of type contentOid is the
  // encoding `content` (not wrapped in an OCTET STRING), signed with SHA-256
  // and RSA over the authenticated attributes contentType and messageDigest.
  bool Sign(const std::string& contentOid, const der::Bytes& content, der::Bytes* out, std::string* error) const;

 private:
  Signer() = default;
  // Takes the key; copies the certificate's encoding, issuer and serial.
  static std::unique_ptr<Signer> Adopt(void* key, x509_st* cert);
  void* key_ = nullptr;  // EVP_PKEY
  std::vector<der::Bytes> certificates_;  // the signer's first, then the rest of its chain
  der::Bytes issuer_, serial_;  // DER Name and INTEGER of the signer's certificate
};

der::Bytes Sha1(const der::Bytes& data);
der::Bytes Sha256(const der::Bytes& data);

}  // namespace signer
