// The driver package that the program embeds: the setup information files say
// what the installation and the uninstallation rely on, and the generated
// payload archive holds the package in the layout the extraction expects.
// The INF entries expected are those of Microsoft's printer sample bitmap.inf
// (microsoft/Windows-driver-samples, print/OEM Printer Customization Plug-in
// Samples/C++/): Class=Printer and its ClassGUID, PnpLockdown=1 ("INF Version
// Section": [PnpLockDown=0|1], Windows Vista and later), the universal
// driver's Include=NTPRINT.INF / Needs=UNIDRV.OEM,UNIDRV_DATA with DataFile=
// the GPD; CatalogFile= ("INF Version Section") and DriverIsolation=2
// ("Printer Driver Isolation") are what bitmap.inf leaves out and we add.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <map>
#include <sstream>

#include "unzip.h"

namespace {

const std::string kDriver = std::string(LUMATREK_SOURCE_DIR) + "/resources/driver/";
const std::string kGenerated = std::string(LUMATREK_GENERATED_DIR) + "/";

std::string Slurp(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// An INF as sections of "key=value" lines (comments and blank lines dropped,
// keys and values trimmed, keys kept as written).
using Section = std::vector<std::pair<std::string, std::string>>;
std::map<std::string, Section> ParseInf(const std::string& text) {
  std::map<std::string, Section> sections;
  std::istringstream in(text);
  std::string line, current;
  const auto trim = [](std::string s) {
    const auto b = s.find_first_not_of(" \t\r");
    const auto e = s.find_last_not_of(" \t\r");
    return b == std::string::npos ? std::string() : s.substr(b, e - b + 1);
  };
  while (std::getline(in, line)) {
    const auto semicolon = line.find(';');
    if (semicolon != std::string::npos && line.find('"') > semicolon) line.erase(semicolon);
    line = trim(line);
    if (line.empty()) continue;
    if (line.front() == '[' && line.back() == ']') {
      current = line.substr(1, line.size() - 2);
      sections[current];
      continue;
    }
    const auto eq = line.find('=');
    sections[current].emplace_back(trim(line.substr(0, eq)), eq == std::string::npos ? "" : trim(line.substr(eq + 1)));
  }
  return sections;
}

std::string Value(const Section& s, const std::string& key) {
  for (const auto& kv : s) {
    if (kv.first == key) return kv.second;
  }
  return "<missing " + key + ">";
}

struct Model {
  std::string name;
  int printableDots;
  int paperDots;  // the roll's real width
};

}  // namespace

TEST(DriverPackage, EachSetupInformationFileDeclaresItsModelOnTheUniversalDriver) {
  for (const Model& m : {Model{"lumatrek", 384, 464}, Model{"lumatrek80", 576, 640}}) {
    SCOPED_TRACE(m.name);
    const std::string text = Slurp(kDriver + m.name + ".inf");
    ASSERT_FALSE(text.empty());
    auto inf = ParseInf(text);
    EXPECT_EQ("Printer", Value(inf["Version"], "Class"));
    EXPECT_EQ("{4D36E979-E325-11CE-BFC1-08002BE10318}", Value(inf["Version"], "ClassGUID"));
    EXPECT_EQ("%OEM%", Value(inf["Version"], "Provider"));
    EXPECT_EQ(m.name + ".cat", Value(inf["Version"], "CatalogFile"));
    EXPECT_EQ("1", Value(inf["Version"], "PnpLockdown"));
    EXPECT_EQ("\"Lumatrek Pos Printer\"", Value(inf["Strings"], "OEM"));
    EXPECT_NE(std::string::npos, text.find("OEM=\"Lumatrek Pos Printer\""));
    EXPECT_EQ("\"Tovlan\"", Value(inf["Strings"], "Manufacturer"));
    EXPECT_EQ("Tovlan,NTx86,NTamd64", Value(inf["Manufacturer"], "%Manufacturer%"));

    for (const std::string platform : {"NTx86", "NTamd64"}) {
      SCOPED_TRACE(platform);
      const Section& models = inf["Tovlan." + platform];
      ASSERT_EQ(1u, models.size());  // the only model
      EXPECT_EQ("\"" + m.name + "\"", models[0].first);
      const std::string install = models[0].second.substr(0, models[0].second.find(','));
      const Section& section = inf[install];
      EXPECT_EQ("NTPRINT.INF", Value(section, "Include"));
      EXPECT_EQ("UNIDRV.OEM,UNIDRV_DATA", Value(section, "Needs"));
      EXPECT_EQ(m.name + ".gpd", Value(section, "DataFile"));
      EXPECT_EQ("2", Value(section, "DriverIsolation"));
      // The plug-in is among the files copied, and comes from the platform's folder.
      std::string copied;
      std::istringstream lists(Value(section, "CopyFiles"));
      for (std::string list; std::getline(lists, list, ',');) {
        for (const auto& kv : inf[list]) copied += kv.first + ";";
      }
      EXPECT_NE(std::string::npos, copied.find(m.name + ".dll;"));
      EXPECT_NE(std::string::npos, copied.find(m.name + ".gpd;"));
      EXPECT_NE(std::string::npos, copied.find(m.name + ".ini;"));
      const std::string disk = Value(inf["SourceDisksFiles"], m.name + ".dll");
      const std::string folder = platform == "NTx86" ? ".\\i386" : ".\\amd64";
      const std::string disks = platform == "NTx86" ? "SourceDisksNames.x86" : "SourceDisksNames.amd64";
      EXPECT_EQ("%DiskName%,,," + folder, Value(inf[disks], disk));
    }

    // The plug-in settings name the plug-in; the description is a 203 dpi roll.
    EXPECT_EQ(m.name + ".dll", Value(ParseInf(Slurp(kDriver + m.name + ".ini"))["OEMFiles"], "OEMDriverFile1"));
    const std::string gpd = Slurp(kDriver + m.name + ".gpd");
    EXPECT_NE(std::string::npos, gpd.find("*ModelName: \"" + m.name + "\""));
    EXPECT_NE(std::string::npos, gpd.find("*DPI: PAIR(203, 203)"));
    EXPECT_NE(std::string::npos, gpd.find("*PrintableArea: PAIR(" + std::to_string(m.printableDots) + ","));
    EXPECT_NE(std::string::npos, gpd.find("*PageDimensions: PAIR(" + std::to_string(m.paperDots) + ","));
    EXPECT_NE(std::string::npos,
              gpd.find("*PrintableOrigin: PAIR(" + std::to_string((m.paperDots - m.printableDots) / 2) + ", 0)"));
    // The plug-in gets 1-bit bands and sends the raster, the reset, the page breaks and the cut itself.
    for (const char* line : {"*DevBPP: 0", "*DrvBPP: 1", "*IPCallbackID: 1", "*CallbackID: 1", "*CallbackID: 2",
                             "*CallbackID: 3"}) {
      EXPECT_NE(std::string::npos, gpd.find(line)) << line;
    }
    EXPECT_EQ(std::string::npos, gpd.find("<1D>v0")) << "no raster command of the driver's own";
    EXPECT_EQ(std::string::npos, gpd.find("CmdYMoveRelDown")) << "no feed of the driver's own";
    EXPECT_EQ(std::count(gpd.begin(), gpd.end(), '{'), std::count(gpd.begin(), gpd.end(), '}'));
  }
}

TEST(DriverPackage, ThePayloadArchiveHoldsThePackageInItsStoredOrder) {
  unzFile zip = unzOpen64((kGenerated + "install.zip").c_str());
  ASSERT_NE(nullptr, zip);
  // Exactly one signer certificate: the publisher's, or the build's throw-away one.
  const bool publisher = std::ifstream(kGenerated + "package/publisher.cer").good();
  EXPECT_NE(publisher, std::ifstream(kGenerated + "package/build-signer.cer").good());
  const std::vector<std::string> expected = {
      "amd64/",        "amd64/lumatrek.dll", "amd64/lumatrek80.dll", publisher ? "publisher.cer" : "build-signer.cer",
      "lumatrek.cat",   "lumatrek.gpd",
      "lumatrek.inf",  "lumatrek.ini",       "lumatrek80.cat",       "lumatrek80.gpd", "lumatrek80.inf",
      "lumatrek80.ini", "i386/",             "i386/lumatrek.dll",    "i386/lumatrek80.dll"};
  std::vector<std::string> names;
  int status = unzGoToFirstFile(zip);
  while (status == UNZ_OK) {
    char name[260] = {};
    unz_file_info64 info;
    ASSERT_EQ(UNZ_OK, unzGetCurrentFileInfo64(zip, &info, name, sizeof name, nullptr, 0, nullptr, 0));
    names.push_back(name);
    SCOPED_TRACE(name);
    EXPECT_EQ(0x800u, info.flag & 0x800u);
    const bool folder = names.back().back() == '/';
    EXPECT_EQ(folder ? 0x10u : 0x20u, info.external_fa);
    EXPECT_EQ(folder ? 0 : Z_DEFLATED, static_cast<int>(info.compression_method));
    if (folder) {
      EXPECT_EQ(0u, info.uncompressed_size);
    } else {
      // Byte-identical to the package the catalogs were made from.
      const std::string want = Slurp(kGenerated + "package/" + names.back());
      ASSERT_FALSE(want.empty());
      std::string got(info.uncompressed_size, '\0');
      ASSERT_EQ(UNZ_OK, unzOpenCurrentFile(zip));
      EXPECT_EQ(static_cast<int>(got.size()), unzReadCurrentFile(zip, &got[0], static_cast<unsigned>(got.size())));
      EXPECT_EQ(UNZ_OK, unzCloseCurrentFile(zip));
      EXPECT_TRUE(want == got);
    }
    status = unzGoToNextFile(zip);
  }
  unzClose(zip);
  EXPECT_EQ(expected, names);
}

TEST(DriverPackage, ThePlugInsAreWindowsDllsForBothPlatforms) {
  for (const std::string arch : {"i386", "amd64"}) {
    for (const std::string model : {"lumatrek", "lumatrek80"}) {
      const std::string dll = Slurp(kGenerated + "driver/" + arch + "/" + model + ".dll");
      ASSERT_GT(dll.size(), 0x100u) << arch << "/" << model;
      EXPECT_EQ("MZ", dll.substr(0, 2));
      const std::uint32_t pe = static_cast<unsigned char>(dll[0x3C]) | static_cast<unsigned char>(dll[0x3D]) << 8;
      ASSERT_LT(pe + 6, dll.size());
      EXPECT_EQ(std::string("PE\0\0", 4), dll.substr(pe, 4));
      const unsigned machine = static_cast<unsigned char>(dll[pe + 4]) | static_cast<unsigned char>(dll[pe + 5]) << 8;
      EXPECT_EQ(arch == "i386" ? 0x014Cu : 0x8664u, machine) << arch;  // IMAGE_FILE_MACHINE_I386 / AMD64
      EXPECT_NE(std::string::npos, dll.find("DllGetClassObject"));
      EXPECT_NE(std::string::npos, dll.find("DllCanUnloadNow"));
    }
  }
}

TEST(DriverPackage, TheSampleArchiveHoldsTheTestPicture) {
  unzFile zip = unzOpen64((kGenerated + "sample.zip").c_str());
  ASSERT_NE(nullptr, zip);
  unz_global_info64 global;
  ASSERT_EQ(UNZ_OK, unzGetGlobalInfo64(zip, &global));
  EXPECT_EQ(1u, global.number_entry);
  char name[260] = {};
  unz_file_info64 info;
  ASSERT_EQ(UNZ_OK, unzGetCurrentFileInfo64(zip, &info, name, sizeof name, nullptr, 0, nullptr, 0));
  EXPECT_STREQ("sample.bmp", name);
  const std::string want = Slurp(kGenerated + "sample.bmp");
  std::string got(info.uncompressed_size, '\0');
  ASSERT_EQ(UNZ_OK, unzOpenCurrentFile(zip));
  EXPECT_EQ(static_cast<int>(got.size()), unzReadCurrentFile(zip, &got[0], static_cast<unsigned>(got.size())));
  unzCloseCurrentFile(zip);
  unzClose(zip);
  EXPECT_TRUE(want == got);
  EXPECT_EQ(1078u, static_cast<unsigned char>(got[10]) | static_cast<unsigned char>(got[11]) << 8);
}
