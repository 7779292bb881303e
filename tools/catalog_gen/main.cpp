// Writes each model's signed driver catalog from the final bytes of its
// package, and the signer's certificate:
//
//   catalog_gen --package DIR --os 2:6.1,2:10.0 --cert-out FILE [--pfx FILE] MODEL...
//
// DIR holds MODEL.inf and every file it installs, in the archive's layout;
// the catalog goes to DIR/<the INF's CatalogFile=>. With --pfx the PFX's key
// signs (its password from LUMATREK_SIGNING_PASSWORD); without it a
// throw-away certificate made here signs every model, and its key is freed
// before the program ends, never written anywhere. thisUpdate comes from
// SOURCE_DATE_EPOCH, else a fixed date, so the same input gives the same list.
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "inf_package.h"
#include "pe_image.h"
#include "signer.h"
#include "trust_list.h"

namespace {

constexpr char kCtl[] = "1.3.6.1.4.1.311.10.1";       // szOID_CTL
constexpr std::int64_t kFixedTime = 1704067200;       // 2024-01-01 00:00:00 UTC, the packages' DriverVer

bool ReadFile(const std::string& path, std::string* bytes) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return false;
  bytes->assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  return true;
}

bool WriteFile(const std::string& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  return out.write(bytes.data(), static_cast<std::streamsize>(bytes.size())) && out.flush();
}

int Fail(const std::string& message) {
  std::fprintf(stderr, "catalog_gen: %s\n", message.c_str());
  return 1;
}

// One member per hash algorithm: SHA-1 for Windows 7 and 8.x, SHA-256 for Windows 10 and 11.
bool AddMembers(const std::string& path, const std::string& name, std::vector<trust_list::Member>* members) {
  std::string bytes;
  if (!ReadFile(path, &bytes)) return false;
  const bool pe = pe_image::IsPe(bytes);
  if (pe) {
    pe_image::Digested parts;
    if (!pe_image::DigestedRanges(bytes, &parts)) return false;
    bytes = pe_image::DigestedBytes(bytes, parts);
  }
  members->push_back({name, pe, trust_list::kSha1, signer::Sha1(bytes)});
  members->push_back({name, pe, trust_list::kSha256, signer::Sha256(bytes)});
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  std::string package, os, certOut, pfx;
  std::vector<std::string> models;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    std::string* value = arg == "--package" ? &package : arg == "--os" ? &os : arg == "--cert-out" ? &certOut
                         : arg == "--pfx"   ? &pfx : nullptr;
    if (value && i + 1 < argc) {
      *value = argv[++i];
    } else if (!value && arg.compare(0, 2, "--") != 0) {
      models.push_back(arg);
    } else {
      return Fail("usage: catalog_gen --package DIR --os LIST --cert-out FILE [--pfx FILE] MODEL...");
    }
  }
  if (package.empty() || os.empty() || certOut.empty() || models.empty()) {
    return Fail("usage: catalog_gen --package DIR --os LIST --cert-out FILE [--pfx FILE] MODEL...");
  }
  const char* epoch = std::getenv("SOURCE_DATE_EPOCH");
  const std::int64_t when = epoch && *epoch ? std::strtoll(epoch, nullptr, 10) : kFixedTime;

  std::string error;
  std::unique_ptr<signer::Signer> signer;
  if (!pfx.empty()) {
    std::string bytes;
    if (!ReadFile(pfx, &bytes)) return Fail("cannot read " + pfx);
    const char* password = std::getenv("LUMATREK_SIGNING_PASSWORD");
    signer = signer::Signer::FromPfx(bytes, password ? password : "", &error);
  } else {
    signer = signer::Signer::ThrowAway(when, &error);
  }
  if (!signer) return Fail(error);

  for (const std::string& model : models) {
    std::string text;
    inf_package::Package files;
    if (!ReadFile(package + "/" + model + ".inf", &text)) return Fail("cannot read " + model + ".inf");
    if (!inf_package::Read(model + ".inf", text, &files, &error)) return Fail(error);
    if (files.catalogFile != model + ".cat") return Fail(model + ".inf does not name " + model + ".cat");
    trust_list::Catalog catalog;
    catalog.thisUpdate = when;
    for (const std::string& file : files.files) {
      const std::string name = file.substr(file.rfind('/') + 1);
      if (!AddMembers(package + "/" + file, name, &catalog.members)) return Fail("cannot hash " + file);
    }
    catalog.attributes.push_back({"OSAttr", os});
    for (std::size_t i = 0; i < files.hardwareIds.size(); ++i) {
      catalog.attributes.push_back({"HWID" + std::to_string(i + 1), files.hardwareIds[i]});
    }
    der::Bytes signedCatalog;
    if (!signer->Sign(kCtl, trust_list::Encode(catalog), &signedCatalog, &error)) return Fail(error);
    if (!WriteFile(package + "/" + files.catalogFile, signedCatalog)) return Fail("cannot write " + files.catalogFile);
  }
  if (!WriteFile(certOut, signer->Certificate())) return Fail("cannot write " + certOut);
  return 0;
}
