// The fake certificate stores: the local machine's system stores by name
// (case-insensitive), each a list of DER certificates. Certificates are
// parsed with OpenSSL, so bytes that are no certificate are refused as the
// platform refuses them; the thumbprint is the DER's SHA-1. Open stores and
// certificate contexts are tracked.
#pragma once
#include <string>
#include <vector>

namespace fake {

struct Certificates {
  void Add(const std::string& store, const std::string& der);
  // Upper-case hex thumbprints of the store's certificates, in order of addition.
  std::vector<std::string> Thumbprints(const std::string& store) const;
  int Open() const;  // stores and contexts not yet closed or freed
};

Certificates& certificates();

// A self-signed certificate for `commonName` (DER) and its thumbprint,
// worked out with OpenSSL rather than by the code under test.
std::string MakeCertificate(const std::string& commonName);
std::string Sha1Hex(const std::string& bytes);

}  // namespace fake
