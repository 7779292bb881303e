// Makes the signer of the driver package trusted before the printer UI
// installs it, and takes back exactly that trust on uninstall. Each step goes
// to `messages` as a step naming the certificate and the store.
#pragma once
#include <string>

#include <vector>

#include "common/messages.h"
#include "trust/added_certificates.h"

// Reads the signer certificate in `payloadFolder` ("build-signer.cer", the
// build's throw-away self-signed one, or "publisher.cer"; exactly one) and
// adds it to the local machine's TrustedPublisher store (the throw-away one
// also to Root) where it is not there already, recording each addition.
// False when the certificate is missing or unreadable, or a store or the
// record cannot be read or written.
// Each certificate this call added is appended to `added` when given, so that
// a failed install can take back what it added (TakeBackCertificates).
[[nodiscard]] bool TrustPackageSigner(const std::string& payloadFolder, MessageSink& messages,
                        std::vector<AddedCertificate>* added = nullptr);

// Deletes `added` (what this run added) from their stores and from the
// record, leaving what earlier runs added. False on any failure.
[[nodiscard]] bool TakeBackCertificates(const std::vector<AddedCertificate>& added, MessageSink& messages);

enum class SignerTrust { Trusted, NotTrusted, Unknown };
// Whether the stores hold what TrustPackageSigner would add for the signer
// in `payloadFolder` (TrustedPublisher, and Root for the throw-away
// certificate), changing nothing; `described` names the certificate and what
// is missing. Unknown when the certificate or a store cannot be read.
[[nodiscard]] SignerTrust CheckPackageSigner(const std::string& payloadFolder, std::string& described);

// Deletes every recorded certificate from its store by thumbprint (one that
// is gone already counts as deleted), then the record. False on any failure,
// with the record kept for the next run.
[[nodiscard]] bool RemoveAddedCertificates(MessageSink& messages);
