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
             std::vector<AddedCertificate>& record, MessageSink& messages) {
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
    os::PCCERT_CONTEXT added = nullptr;
    if (FindByThumbprint(store.get(), thumbprint, &added) == Lookup::Present) os::CertDeleteCertificateFromStore(added);
    messages.Step("publisher trusted", description + ": added, but the record cannot be written; taken out again");
    return false;
  }
  messages.Step("publisher trusted", description + ": added and recorded");
  return true;
}

}  // namespace

bool TrustPackageSigner(const std::string& payloadFolder, MessageSink& messages) {
  const std::string selfSigned = Joined(payloadFolder, kSelfSignedFile);
  const std::string publisher = Joined(payloadFolder, kPublisherFile);
  const bool isSelfSigned = os::PathFileExistsA(selfSigned.c_str()) != os::FALSE;
  if (isSelfSigned == (os::PathFileExistsA(publisher.c_str()) != os::FALSE)) {
    messages.Step("signer certificate", isSelfSigned ? "two certificates in the package" : "none in the package");
    return false;
  }
  const std::string path = isSelfSigned ? selfSigned : publisher;
  os::CertContext certificate(CertificateFromDer(ReadSmallFile(path)));
  const std::string thumbprint = certificate.get() != nullptr ? Thumbprint(certificate.get()) : "";
  if (thumbprint.empty()) {
    messages.Step("signer certificate", path + " unreadable");
    return false;
  }
  const std::string subject = SubjectName(certificate.get());
  std::vector<AddedCertificate> record;
  if (!ReadAddedCertificates(record)) {
    messages.Step("signer certificate", "the record of added certificates cannot be read");
    return false;
  }
  // The throw-away certificate signs itself: only as a root does its chain end anywhere.
  std::vector<const char*> stores{kTrustedPublisher};
  if (isSelfSigned) stores.push_back(kRoot);
  for (const char* store : stores) {
    if (!TrustIn(store, certificate.get(), Described(subject, thumbprint, store), record, messages)) return false;
  }
  return true;
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
