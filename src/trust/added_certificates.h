// The record of what Install added to the machine's certificate stores, kept
// where only administrators can write: HKLM\SOFTWARE\Tovlan\lumatrek, value
// "AddedCertificates", a REG_MULTI_SZ of "STORE THUMBPRINT" lines, always in
// the native registry view so the 32- and the 64-bit program share it.
#pragma once
#include <string>
#include <vector>

struct AddedCertificate {
  std::string store;       // "TrustedPublisher" or "Root"
  std::string thumbprint;  // as trust/certificate_stores.h spells it
  bool operator==(const AddedCertificate& o) const { return store == o.store && thumbprint == o.thumbprint; }
};

// Reads the record into `entries` (none when there is no record); false when
// it cannot be read or is no list of strings.
[[nodiscard]] bool ReadAddedCertificates(std::vector<AddedCertificate>& entries);
// Replaces the record with `entries`; false on failure.
[[nodiscard]] bool WriteAddedCertificates(const std::vector<AddedCertificate>& entries);
// Removes the record; true when it is gone (also when there was none).
[[nodiscard]] bool DeleteAddedCertificates();
