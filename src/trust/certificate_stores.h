// The local machine's system certificate stores, as the publisher trust uses
// them: a certificate is known by its SHA-1 thumbprint (40 upper-case hex
// digits, as certutil shows it).
#pragma once
#include <string>

#include "os/certificates.h"

// The certificate in DER `bytes`, or null when they hold none.
[[nodiscard]] os::PCCERT_CONTEXT CertificateFromDer(const std::string& bytes);
// Its thumbprint, or "" when it cannot be read.
std::string Thumbprint(os::PCCERT_CONTEXT certificate);
// Its subject's display name ("" when it has none).
std::string SubjectName(os::PCCERT_CONTEXT certificate);
// Opens the local machine's system store `name` ("TrustedPublisher", "Root")
// with all its physical stores, or with `registryOnly` only the registry
// store that additions go to and deletions must be made in (through the
// whole system store Wine deletes from its copy in memory alone); null on failure.
[[nodiscard]] os::HCERTSTORE OpenMachineStore(const char* name, bool registryOnly = false);

enum class Lookup { Present, Absent, Failed };
// Whether `store` holds the certificate with `thumbprint`; when it does and
// `found` is given, hands over the store's context (the caller frees it).
[[nodiscard]] Lookup FindByThumbprint(os::HCERTSTORE store, const std::string& thumbprint, os::PCCERT_CONTEXT* found = nullptr);
