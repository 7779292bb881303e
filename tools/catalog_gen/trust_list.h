// The content of a driver catalog: a Microsoft certificate trust list
// (szOID_CTL) whose subjects are catalog members, one per file and hash.
// Sources: the CTL_INFO and CTL_ENTRY structures (wincrypt.h reference pages)
// with subject usage szOID_CATALOG_LIST and algorithm szOID_CATALOG_LIST_MEMBER,
// which makes it a version 1 catalog ("MakeCat": version 1 hashes with SHA-1,
// version 2 with SHA-256); CAT_NAMEVALUE and CAT_MEMBERINFO (mscat.h pages)
// for the attributes; SPC_INDIRECT_DATA_CONTENT (Authenticode) for a member's
// hash. The byte layout beyond those structures, and the SHA-256 members in a
// version 1 catalog, are our inference: osslsigncode and Wine's CryptCATOpen
// read them (ctest driver_catalogs_verify, scenario 86), Windows is not tested
// here (docs/payload.md says what a technician runs to settle it).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "der.h"

namespace trust_list {

constexpr char kSha1[] = "1.3.14.3.2.26";
constexpr char kSha256[] = "2.16.840.1.101.3.4.2.1";

struct Member {
  std::string fileName;  // the name the "File" attribute carries
  bool peImage = false;  // an Authenticode image hash (else a flat-file hash)
  std::string digestAlgorithm;  // kSha1 or kSha256
  der::Bytes digest;
};

struct Catalog {
  std::vector<Member> members;
  // Catalog-level name/value attributes, e.g. {"OSAttr", "2:6.1,2:10.0"}, {"HWID1", "..."}.
  std::vector<std::pair<std::string, std::string>> attributes;
  std::int64_t thisUpdate = 0;  // seconds since 1970, UTC
};

// The member's tag: the upper-case hex of its digest, which Windows looks the file up by.
std::string Tag(const Member& m);
// SPC_INDIRECT_DATA_CONTENT of a member: the hash with the SIP's link.
der::Bytes IndirectData(const Member& m);
// A CAT_NAMEVALUE (name, flags, UTF-16 value) as catalogs store their attributes.
der::Bytes NameValue(const std::string& name, const std::string& value);
// The whole CertificateTrustList encoding (members ordered by tag).
der::Bytes Encode(const Catalog& catalog);

}  // namespace trust_list
