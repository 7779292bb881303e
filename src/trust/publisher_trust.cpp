#include "trust/publisher_trust.h"

#include <vector>

#include "common/checked_open.h"
#include "os/files.h"
#include "trust/added_certificates.h"
#include "trust/certificate_stores.h"

namespace {

constexpr char kSelfSignedFile[] = "build-signer.cer";
constexpr char kPublisherFile[] = "publisher.cer";
constexpr char kTrustedPublisher[] = "TrustedPublisher";
constexpr char kRoot[] = "Root";
constexpr std::size_t kLargestCertificate = 64 * 1024;

std::string Joined(const std::string& folder, const char* file) {
  return !folder.empty() && folder.back() == '\\' ? folder + file : folder + "\\" + file;
}

// The whole file, read through a handle checked to be the plain file at
// exactly `path`; "" when it cannot be read or is larger than any certificate.
std::string ReadSmallFile(const std::string& path) {
  std::string bytes;
  return ReadCheckedFile(path, kLargestCertificate, bytes) ? bytes : std::string();
}

std::string Described(const std::string& subject, const std::string& thumbprint, const std::string& store) {
  return "\"" + subject + "\" " + thumbprint + " in LocalMachine\\" + store;
}

// Adds `certificate` to `store` unless it is there, recording the addition
// in `record` first written back; an addition that cannot be recorded is undone.
bool TrustIn(const char* storeName, os::PCCERT_CONTEXT certificate, const std::string& description,
             std::vector<AddedCertificate>& record, MessageSink& messages, std::vector<AddedCertificate>* added) {
  const std::string thumbprint = Thumbprint(certificate);
  os::CertStore store(OpenMachineStore(storeName));
  if (store.get() == nullptr) {
    messages.Step("publisher trusted", description + ": store cannot be opened");
    return false;
  }
  const Lookup lookup = FindByThumbprint(store.get(), thumbprint);
  if (lookup != Lookup::Absent) {
    messages.Step("publisher trusted", description + (lookup == Lookup::Present ? ": already there" : ": store cannot be read"));
    return lookup == Lookup::Present;
  }
  if (!os::CertAddCertificateContextToStore(store.get(), certificate, os::CERT_STORE_ADD_NEW, nullptr)) {
    messages.Step("publisher trusted", description + ": cannot be added");
    return false;
  }
  record.push_back({storeName, thumbprint});
  if (!WriteAddedCertificates(record)) {
    os::PCCERT_CONTEXT found = nullptr;
    if (FindByThumbprint(store.get(), thumbprint, &found) == Lookup::Present) os::CertDeleteCertificateFromStore(found);
    messages.Step("publisher trusted", description + ": added, but the record cannot be written; taken out again");
    return false;
  }
  messages.Step("publisher trusted", description + ": added and recorded");
  if (added != nullptr) added->push_back(record.back());
  return true;
}

// The package's signer certificate: the file (exactly one of the two), the
// certificate read from it, and whether it is the throw-away one. `why` says
// what is wrong when it cannot be read.
struct SignerCertificate {
  std::string path;
  bool selfSigned = false;
  os::CertContext certificate{nullptr};
  std::string thumbprint;
  std::string why;
};

void ReadSigner(const std::string& payloadFolder, SignerCertificate& signer) {
  const std::string selfSigned = Joined(payloadFolder, kSelfSignedFile);
  const std::string publisher = Joined(payloadFolder, kPublisherFile);
  signer.selfSigned = os::PathFileExistsA(selfSigned.c_str()) != os::FALSE;
  if (signer.selfSigned == (os::PathFileExistsA(publisher.c_str()) != os::FALSE)) {
    signer.why = signer.selfSigned ? "two certificates in the package" : "none in the package";
    return;
  }
  signer.path = signer.selfSigned ? selfSigned : publisher;
  signer.certificate.reset(CertificateFromDer(ReadSmallFile(signer.path)));
  signer.thumbprint = signer.certificate.get() != nullptr ? Thumbprint(signer.certificate.get()) : "";
  if (signer.thumbprint.empty()) signer.why = signer.path + " unreadable";
}

// The stores the signer must be in: the throw-away certificate signs itself,
// so only as a root does its chain end anywhere.
std::vector<const char*> StoresFor(const SignerCertificate& signer) {
  std::vector<const char*> stores{kTrustedPublisher};
  if (signer.selfSigned) stores.push_back(kRoot);
  return stores;
}

}  // namespace

bool TrustPackageSigner(const std::string& payloadFolder, MessageSink& messages,
                        std::vector<AddedCertificate>* added) {
  SignerCertificate signer;
  ReadSigner(payloadFolder, signer);
  if (!signer.why.empty()) {
    messages.Step("signer certificate", signer.why);
    return false;
  }
  const std::string subject = SubjectName(signer.certificate.get());
  std::vector<AddedCertificate> record;
  if (!ReadAddedCertificates(record)) {
    messages.Step("signer certificate", "the record of added certificates cannot be read");
    return false;
  }
  for (const char* store : StoresFor(signer)) {
    if (!TrustIn(store, signer.certificate.get(), Described(subject, signer.thumbprint, store), record, messages,
                 added)) {
      return false;
    }
  }
  return true;
}

SignerTrust CheckPackageSigner(const std::string& payloadFolder, std::string& described) {
  SignerCertificate signer;
  ReadSigner(payloadFolder, signer);
  if (!signer.why.empty()) {
    described = signer.why;
    return SignerTrust::Unknown;
  }
  described = "\"" + SubjectName(signer.certificate.get()) + "\" " + signer.thumbprint;
  SignerTrust trust = SignerTrust::Trusted;
  for (const char* storeName : StoresFor(signer)) {
    os::CertStore store(OpenMachineStore(storeName));
    const Lookup lookup = store.get() != nullptr ? FindByThumbprint(store.get(), signer.thumbprint) : Lookup::Failed;
    if (lookup == Lookup::Failed) {
      described += ": LocalMachine\\" + std::string(storeName) + " cannot be read";
      return SignerTrust::Unknown;
    }
    if (lookup == Lookup::Absent) {
      described += ": not in LocalMachine\\" + std::string(storeName);
      trust = SignerTrust::NotTrusted;
    }
  }
  if (trust == SignerTrust::Trusted) described += ": trusted";
  return trust;
}

bool TakeBackCertificates(const std::vector<AddedCertificate>& added, MessageSink& messages) {
  if (added.empty()) return true;
  bool ok = true;
  std::vector<AddedCertificate> gone;
  for (const AddedCertificate& entry : added) {
    os::CertStore store(OpenMachineStore(entry.store.c_str(), true));
    os::PCCERT_CONTEXT found = nullptr;
    const Lookup lookup = store.get() != nullptr ? FindByThumbprint(store.get(), entry.thumbprint, &found) : Lookup::Failed;
    std::string subject;
    bool deleted = lookup == Lookup::Absent;
    if (lookup == Lookup::Present) {
      subject = SubjectName(found);
      deleted = os::CertDeleteCertificateFromStore(found) != os::FALSE;  // frees `found` either way
    }
    messages.Step("added certificate taken back",
                  Described(subject, entry.thumbprint, entry.store) + (deleted ? ": deleted" : ": cannot be deleted"));
    if (deleted) gone.push_back(entry);
    ok = ok && deleted;
  }
  // The record keeps what earlier runs added, and what could not be deleted.
  std::vector<AddedCertificate> record;
  if (!ReadAddedCertificates(record)) {
    messages.Step("record of added certificates", "cannot be read; the certificates taken back stay listed");
    return false;
  }
  std::vector<AddedCertificate> kept;
  for (const AddedCertificate& entry : record) {
    bool taken = false;
    for (const AddedCertificate& g : gone) taken = taken || g == entry;
    if (!taken) kept.push_back(entry);
  }
  const bool written = kept.empty() ? DeleteAddedCertificates() : WriteAddedCertificates(kept);
  messages.Step("record of added certificates", written ? "updated" : "cannot be written");
  return ok && written;
}

bool RemoveAddedCertificates(MessageSink& messages) {
  std::vector<AddedCertificate> record;
  if (!ReadAddedCertificates(record)) {
    messages.Step("added certificates removed", "the record cannot be read");
    return false;
  }
  bool removed = true;
  for (const AddedCertificate& entry : record) {
    // Only the stores Install adds to: a record naming another is no work of ours.
    if (entry.store != kTrustedPublisher && entry.store != kRoot) {
      messages.Step("added certificate removed", entry.store + " " + entry.thumbprint + ": not ours, left alone");
      continue;
    }
    os::CertStore store(OpenMachineStore(entry.store.c_str(), true));
    os::PCCERT_CONTEXT found = nullptr;
    const Lookup lookup = store.get() != nullptr ? FindByThumbprint(store.get(), entry.thumbprint, &found) : Lookup::Failed;
    std::string subject;
    bool ok = lookup == Lookup::Absent;
    if (lookup == Lookup::Present) {
      subject = SubjectName(found);
      ok = os::CertDeleteCertificateFromStore(found) != os::FALSE;  // frees `found` either way
    }
    const char* outcome = lookup == Lookup::Absent ? ": already gone" : ok ? ": deleted" : ": cannot be deleted";
    messages.Step("added certificate removed", Described(subject, entry.thumbprint, entry.store) + outcome);
    removed = removed && ok;
  }
  if (!removed) return false;
  const bool deleted = DeleteAddedCertificates();
  messages.Step("record of added certificates deleted", deleted ? "ok" : "failed");
  return deleted;
}
