// Makes the signer of the driver package trusted before the printer UI
// installs it, and takes back exactly that trust on uninstall. Each step goes
// to `messages` as a step naming the certificate and the store.
#pragma once
#include <string>

#include "common/messages.h"

// Reads the signer certificate in `payloadFolder` ("build-signer.cer", the
// build's throw-away self-signed one, or "publisher.cer"; exactly one) and
// adds it to the local machine's TrustedPublisher store (the throw-away one
// also to Root) where it is not there already, recording each addition.
// False when the certificate is missing or unreadable, or a store or the
// record cannot be read or written.
bool TrustPackageSigner(const std::string& payloadFolder, MessageSink& messages);

// Deletes every recorded certificate from its store by thumbprint (one that
// is gone already counts as deleted), then the record. False on any failure,
// with the record kept for the next run.
bool RemoveAddedCertificates(MessageSink& messages);
