#include "trust_list.h"

#include <algorithm>

namespace trust_list {
namespace {

constexpr char kCatalogList[] = "1.3.6.1.4.1.311.12.1.1";        // szOID_CATALOG_LIST
constexpr char kCatalogListMember[] = "1.3.6.1.4.1.311.12.1.2";  // szOID_CATALOG_LIST_MEMBER
constexpr char kNameValue[] = "1.3.6.1.4.1.311.12.2.1";          // CAT_NAMEVALUE_OBJID
constexpr char kMemberInfo[] = "1.3.6.1.4.1.311.12.2.2";         // CAT_MEMBERINFO_OBJID
constexpr char kIndirectData[] = "1.3.6.1.4.1.311.2.1.4";        // SPC_INDIRECT_DATA_OBJID
constexpr char kPeImageData[] = "1.3.6.1.4.1.311.2.1.15";        // SPC_PE_IMAGE_DATA_OBJID
constexpr char kCabData[] = "1.3.6.1.4.1.311.2.1.25";            // SPC_CAB_DATA_OBJID, what flat files carry
// The subject interface packages that hash each kind of file.
constexpr char kPeSip[] = "{C689AAB8-8E78-11D0-8C47-00C04FC295EE}";
constexpr char kFlatSip[] = "{DE351A42-8E59-11D0-8C47-00C04FC295EE}";
// CRYPTCAT_ATTR_AUTHENTICATED | CRYPTCAT_ATTR_NAMEASCII | CRYPTCAT_ATTR_DATAASCII
constexpr std::int64_t kAttrFlags = 0x10010001;

// SpcLink with the file name "<<<Obsolete>>>" that catalogs keep in place of a file link.
der::Bytes ObsoleteLink() { return der::Explicit(2, der::ImplicitPrimitive(0, der::ContentsOf(der::BmpString("<<<Obsolete>>>")))); }

der::Bytes Attribute(const std::string& oid, const der::Bytes& value) {
  return der::Sequence({der::Oid(oid), der::SetOf({value})});
}

}  // namespace

std::string Tag(const Member& m) { return der::Hex(m.digest); }

der::Bytes IndirectData(const Member& m) {
  const der::Bytes data =
      m.peImage ? der::Sequence({der::Oid(kPeImageData),
                                 der::Sequence({der::Wrap(0x03, std::string(1, '\0')), der::Explicit(0, ObsoleteLink())})})
                : der::Sequence({der::Oid(kCabData), ObsoleteLink()});
  const der::Bytes digestInfo =
      der::Sequence({der::Sequence({der::Oid(m.digestAlgorithm), der::Null()}), der::OctetString(m.digest)});
  return der::Sequence({data, digestInfo});
}

der::Bytes NameValue(const std::string& name, const std::string& value) {
  return der::Sequence({der::BmpString(name), der::Integer(kAttrFlags), der::OctetString(der::Utf16LeZ(value))});
}

der::Bytes Encode(const Catalog& catalog) {
  std::vector<Member> members = catalog.members;
  std::sort(members.begin(), members.end(), [](const Member& a, const Member& b) { return Tag(a) < Tag(b); });
  std::vector<der::Bytes> subjects;
  der::Bytes tags;
  for (const Member& m : members) {
    tags += Tag(m);
    const der::Bytes memberInfo = der::Sequence({der::BmpString(m.peImage ? kPeSip : kFlatSip), der::Integer(512)});
    subjects.push_back(der::Sequence({
        der::OctetString(der::Utf16LeZ(Tag(m))),
        der::SetOf({Attribute(kNameValue, NameValue("File", m.fileName)), Attribute(kMemberInfo, memberInfo),
                    Attribute(kIndirectData, IndirectData(m))}),
    }));
  }
  std::vector<der::Bytes> extensions;
  for (const auto& a : catalog.attributes) {
    extensions.push_back(der::Sequence({der::Oid(kNameValue), der::OctetString(NameValue(a.first, a.second))}));
  }
  // The list identifier only has to tell lists apart; one derived from the
  // members keeps the build reproducible.
  der::Bytes identifier(16, '\0');
  for (std::size_t i = 0; i < tags.size(); ++i) identifier[i % 16] = static_cast<char>(identifier[i % 16] * 31 + tags[i]);
  std::vector<der::Bytes> parts = {
      der::Sequence({der::Oid(kCatalogList)}),
      der::OctetString(identifier),
      der::Time(catalog.thisUpdate),
      der::Sequence({der::Oid(kCatalogListMember), der::Null()}),
      der::Sequence(subjects),
  };
  if (!extensions.empty()) parts.push_back(der::Explicit(0, der::Sequence(extensions)));
  return der::Sequence(parts);
}

}  // namespace trust_list
