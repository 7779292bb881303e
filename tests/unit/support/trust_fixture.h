// Certificates named by a letter for the trust tables: S signs this build's
// package, O an earlier build's, X belongs to someone else. Store contents and
// the record of added certificates are written as those letters.
#pragma once
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "fake_os/fake_certificates.h"
#include "fake_os/fake_registry.h"

inline const std::string& Cert(char which) {
  static const std::map<char, std::string> made = {{'S', fake::MakeCertificate("Lumatrek build signer")},
                                                   {'O', fake::MakeCertificate("an earlier build")},
                                                   {'X', fake::MakeCertificate("Contoso root")}};
  return made.at(which);
}

// The store's certificates as letters, in order.
inline std::string Letters(const std::string& store) {
  std::string letters;
  for (const std::string& t : fake::certificates().Thumbprints(store)) {
    for (char c : std::string("SOX")) {
      if (fake::Sha1Hex(Cert(c)) == t) letters += c;
    }
  }
  return letters;
}

using RecordLines = std::vector<std::pair<std::string, char>>;  // store, certificate

inline const char kRecordKey[] = "SOFTWARE\\Tovlan\\lumatrek";

// The REG_MULTI_SZ bytes of the record.
inline std::string RecordBytes(const RecordLines& lines) {
  std::string bytes;
  for (const auto& line : lines) bytes += line.first + " " + fake::Sha1Hex(Cert(line.second)) + '\0';
  return bytes + '\0';
}

inline void SetRecord(const RecordLines& lines) {
  fake::registry().SetValue(kRecordKey, "AddedCertificates", 7, RecordBytes(lines));
}

inline void AddCerts(const std::string& store, const std::string& letters) {
  for (char c : letters) fake::certificates().Add(store, Cert(c));
}
