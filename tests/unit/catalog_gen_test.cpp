// The driver catalog writer: DER encodings, the Authenticode image-hash
// ranges of a PE file, a flat file's indirect data, and what a setup
// information file puts into its catalog.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

#include "der.h"
#include "inf_package.h"
#include "pe_image.h"
#include "trust_list.h"

namespace {

std::string Unhex(const std::string& hex) {
  std::string out;
  for (std::size_t i = 0; i + 1 < hex.size(); i += 2) out += static_cast<char>(std::stoi(hex.substr(i, 2), nullptr, 16));
  return out;
}

std::string HexOf(const std::string& bytes) { return der::Hex(bytes); }

}  // namespace

TEST(CatalogDer, EncodesLengthsIdentifiersIntegersAndTimes) {
  const struct {
    const char* what;
    der::Bytes got;
    const char* want;
  } cases[] = {
      {"short length", der::OctetString(std::string(0x7F, 'a')).substr(0, 2), "047F"},
      {"one length octet", der::OctetString(std::string(0x80, 'a')).substr(0, 3), "048180"},
      {"two length octets", der::OctetString(std::string(0x100, 'a')).substr(0, 4), "04820100"},
      {"szOID_CTL", der::Oid("1.3.6.1.4.1.311.10.1"), "06092B0601040182370A01"},
      {"sha256", der::Oid("2.16.840.1.101.3.4.2.1"), "0609608648016503040201"},
      {"zero", der::Integer(0), "020100"},
      {"sign octet added", der::Integer(128), "02020080"},
      {"minus one", der::Integer(-1), "0201FF"},
      {"catalog attribute flags", der::Integer(0x10010001), "020410010001"},
      {"UTCTime", der::Time(1704067200), "170D3234303130313030303030305A"},
      {"GeneralizedTime from 2050", der::Time(2524608000), "180F32303530303130313030303030305A"},
      {"set ordered by encoding", der::SetOf({der::Integer(2), der::Integer(1)}), "3106020101020102"},
      {"BMPString", der::BmpString("Ab"), "1E0400410062"},
  };
  for (const auto& c : cases) EXPECT_EQ(c.want, HexOf(c.got)) << c.what;
  EXPECT_EQ(std::string("x"), der::ContentsOf(Unhex("0401") + "x"));
  EXPECT_EQ(std::string(), der::ContentsOf(Unhex("0402") + "x")) << "a length past the end";
}

// A PE32+ image with its header at 0x80: CheckSum at 0xD8, the certificate
// directory entry at 0x128; the hash skips both and any certificate table.
TEST(CatalogPeImage, TheImageHashSkipsTheChecksumTheCertificateEntryAndTable) {
  std::string file(0x203, '\x11');
  file.replace(0, 2, "MZ");
  file.replace(0x3C, 4, Unhex("80000000"));
  file.replace(0x80, 4, std::string("PE\0\0", 4));
  file.replace(0x98, 2, Unhex("0B02"));      // PE32+
  file.replace(0x104, 4, Unhex("10000000"));  // 16 data directories
  file.replace(0x128, 8, std::string(8, '\0'));
  pe_image::Digested parts;
  ASSERT_TRUE(pe_image::DigestedRanges(file, &parts));
  const std::string unsigned_ = file.substr(0, 0xD8) + file.substr(0xDC, 0x128 - 0xDC) + file.substr(0x130);
  EXPECT_EQ(unsigned_ + std::string(5, '\0'), pe_image::DigestedBytes(file, parts)) << "padded to 8 octets";

  // Signed: a 3-octet certificate table at 0x200 is left out, and nothing is padded.
  file.replace(0x128, 8, Unhex("0002000003000000"));
  ASSERT_TRUE(pe_image::DigestedRanges(file, &parts));
  EXPECT_EQ(unsigned_.substr(0, unsigned_.size() - 3), pe_image::DigestedBytes(file, parts));

  for (const std::string& bad : {file.substr(0, 0x110), Unhex("0402") + file.substr(2)}) {
    EXPECT_FALSE(pe_image::DigestedRanges(bad, &parts));
  }
  file.replace(0x128, 8, Unhex("0002000004000000"));  // a table past the end of the file
  EXPECT_FALSE(pe_image::DigestedRanges(file, &parts));
}

TEST(CatalogTrustList, AFlatFileIsHashedUnderTheObsoleteLink) {
  const trust_list::Member m{"x.inf", false, trust_list::kSha1, Unhex("A9993E364706816ABA3E25717850C26C9CD0D89D")};
  EXPECT_EQ("A9993E364706816ABA3E25717850C26C9CD0D89D", trust_list::Tag(m));
  EXPECT_EQ(
      "3051302C060A2B060104018237020119"
      "A21E801C003C003C003C004F00620073006F006C006500740065003E003E003E"
      "3021300906052B0E03021A05000414A9993E364706816ABA3E25717850C26C9CD0D89D",
      HexOf(trust_list::IndirectData(m)));
  // The same members in another order make the same list (reproducible builds).
  trust_list::Catalog a, b;
  a.members = {m, {"y.dll", true, trust_list::kSha256, std::string(32, '\x01')}};
  b.members = {a.members[1], a.members[0]};
  EXPECT_EQ(trust_list::Encode(a), trust_list::Encode(b));
}

TEST(CatalogInf, ThePackageFilesComeFromEachPlatformsSourceDisk) {
  std::ifstream in(std::string(LUMATREK_SOURCE_DIR) + "/resources/driver/lumatrek.inf", std::ios::binary);
  const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  inf_package::Package p;
  std::string error;
  ASSERT_TRUE(inf_package::Read("lumatrek.inf", text, &p, &error)) << error;
  EXPECT_EQ("lumatrek.cat", p.catalogFile);
  EXPECT_EQ((std::vector<std::string>{"lumatrek.inf", "lumatrek.gpd", "lumatrek.ini", "i386/lumatrek.dll",
                                      "amd64/lumatrek.dll"}),
            p.files);
  EXPECT_EQ(std::vector<std::string>{"tovlanlumatrek58"}, p.hardwareIds);

  // The INF forms our INFs do not use but Microsoft's bitmap.inf does: CopyFiles
  // repeated, @file, a file list naming its source, a subdir per platform, a
  // model without hardware id.
  const std::string sampleStyle =
      "[Version]\r\nSignature=\"$Windows NT$\"\r\nClass=Printer\r\nCatalogFile=s.cat\r\n"
      "[Manufacturer]\r\n\"M\"=M, NTx86, NTarm64\r\n[M.NTx86]\r\n\"S\" = S\r\n[M.NTarm64]\r\n\"S\" = S\r\n"
      "[S]\r\nCopyFiles=@S.GPD\r\nCopyFiles=@S.INI\r\ncopyfiles=Bin ; a comment\r\nDataFile=S.GPD\r\n"
      "[BIN]\r\ns.dll\r\nhelp.dat,s-help.dat\r\n"
      "[SourceDisksNames]\r\n100 = %D%\r\n"
      "[SourceDisksFiles.x86]\r\ns.dll = 100,s\\x86\r\n[SourceDisksFiles.arm64]\r\ns.dll = 100,s\\arm64\r\n"
      "[SourceDisksFiles]\r\nS.GPD = 100\r\nS.INI = 100\r\ns-help.dat = 100,doc\r\n";
  ASSERT_TRUE(inf_package::Read("s.inf", sampleStyle, &p, &error)) << error;
  EXPECT_EQ((std::vector<std::string>{"s.inf", "S.GPD", "S.INI", "s/x86/s.dll", "doc/s-help.dat", "s/arm64/s.dll"}),
            p.files);
  EXPECT_TRUE(p.hardwareIds.empty());

  std::string noDisk = text;
  noDisk.erase(noDisk.find("lumatrek.dll=2"), 14);
  EXPECT_FALSE(inf_package::Read("lumatrek.inf", noDisk, &p, &error));
  EXPECT_EQ("lumatrek.dll has no source disk for x86", error);
}
