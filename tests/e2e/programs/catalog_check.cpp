// Looks each file up in a driver catalog through Windows' catalog calls:
//   catalog_check.exe CATALOG FILE...
// Opens CATALOG with CryptCATOpen, hashes each FILE with
// CryptCATAdminCalcHashFromFileHandle (SHA-1) and, where the system has a
// SHA-256 catalog context (CryptCATAdminAcquireContext2), with that too, and
// finds each hash as a member: by CryptCATGetMemberInfo, or among the tags
// CryptCATEnumerateMember lists where the former is a stub (Wine 8).
// Where the system has no SHA-256 context (Wine) the SHA-256 flat hash comes
// from CryptoAPI; where its catalog hash of a PE file is a flat one (Wine),
// the Authenticode image hash is computed here. Prints one line per lookup;
// exits 0 when every file is found in both hashes, 1 otherwise, 2 on usage.
// The calls and what they promise are those of the mscat.h reference pages
// (learn.microsoft.com/windows/win32/api/mscat/): CryptCATOpen,
// CryptCATAdminAcquireContext2 (Windows 8 and later: a SHA-256 context),
// CryptCATAdminCalcHashFromFileHandle(2) (the hash Windows looks a file up by:
// for a PE file its Authenticode hash), CryptCATGetMemberInfo (a member by its
// tag, the hash in hex) and CryptCATEnumerateMember. That Windows 10 and 11
// look the package's files up by their SHA-256 member is not on those pages:
// docs/payload.md says what is known and how a technician checks it.
#include <windows.h>
#include <wincrypt.h>
#include <mscat.h>

#include <cstdio>
#include <set>
#include <string>
#include <vector>

namespace {

using AcquireContext2 = BOOL(WINAPI*)(HCATADMIN*, const GUID*, const WCHAR*, const CERT_STRONG_SIGN_PARA*, DWORD);
using CalcHash2 = BOOL(WINAPI*)(HCATADMIN, HANDLE, DWORD*, BYTE*, DWORD);

std::wstring Hex(const std::string& bytes) {
  static const wchar_t digits[] = L"0123456789ABCDEF";
  std::wstring out;
  for (unsigned char c : bytes) (out += digits[c >> 4]) += digits[c & 0xF];
  return out;
}

bool ReadAll(const wchar_t* path, std::string* bytes) {
  HANDLE f = CreateFileW(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  if (f == INVALID_HANDLE_VALUE) return false;
  char buffer[65536];
  DWORD got = 0;
  bool ok = true;
  while ((ok = ReadFile(f, buffer, sizeof buffer, &got, nullptr) != 0) && got) bytes->append(buffer, got);
  CloseHandle(f);
  return ok;
}

std::string CryptoApiHash(ALG_ID alg, const std::string& data) {
  HCRYPTPROV prov = 0;
  HCRYPTHASH hash = 0;
  std::string out(32, '\0');
  DWORD n = static_cast<DWORD>(out.size());
  const bool ok = CryptAcquireContextW(&prov, nullptr, nullptr, PROV_RSA_AES, CRYPT_VERIFYCONTEXT) &&
                  CryptCreateHash(prov, alg, 0, 0, &hash) &&
                  CryptHashData(hash, reinterpret_cast<const BYTE*>(data.data()), static_cast<DWORD>(data.size()), 0) &&
                  CryptGetHashParam(hash, HP_HASHVAL, reinterpret_cast<BYTE*>(&out[0]), &n, 0);
  if (hash) CryptDestroyHash(hash);
  if (prov) CryptReleaseContext(prov, 0);
  return ok ? out.substr(0, n) : std::string();
}

// The Authenticode image hash input: the file without the CheckSum field, the
// certificate directory entry and the certificate table, padded to 8 octets
// when unsigned. Empty when the file is no PE image.
std::string ImageHashInput(const std::string& f) {
  const auto u32 = [&f](size_t at) { return at + 4 <= f.size() ? *reinterpret_cast<const DWORD*>(&f[at]) : 0u; };
  if (f.size() < 0x40 || f.compare(0, 2, "MZ") != 0) return std::string();
  const size_t opt = u32(0x3C) + 24;
  if (opt + 2 > f.size() || f.compare(opt - 24, 4, std::string("PE\0\0", 4)) != 0) return std::string();
  const bool plus = f[opt] == 0x0B && f[opt + 1] == 0x02;
  const size_t checksum = opt + 64, entry = opt + (plus ? 144 : 128);
  if (entry + 8 > f.size()) return std::string();
  const size_t end = u32(entry) && u32(entry + 4) && u32(entry) <= f.size() ? u32(entry) : f.size();
  std::string in = f.substr(0, checksum) + f.substr(checksum + 4, entry - checksum - 4) + f.substr(entry + 8, end - entry - 8);
  if (end == f.size() && end % 8) in.append(8 - end % 8, '\0');
  return in;
}

// Every member's reference tag, listed once (the enumeration frees its member at the end).
std::set<std::wstring> MemberTags(HANDLE catalog) {
  std::set<std::wstring> tags;
  for (CRYPTCATMEMBER* m = CryptCATEnumerateMember(catalog, nullptr); m; m = CryptCATEnumerateMember(catalog, m)) {
    if (m->pwszReferenceTag) tags.insert(m->pwszReferenceTag);
  }
  return tags;
}

bool Lookup(HANDLE catalog, const std::set<std::wstring>& listed, const std::wstring& file, const char* what,
            const std::string& hash) {
  std::wstring tag = Hex(hash);
  const wchar_t* how = L"MISSING";
  if (!hash.empty() && CryptCATGetMemberInfo(catalog, &tag[0])) {
    how = L"found";
  } else if (!hash.empty() && listed.count(tag)) {
    how = L"listed";
  }
  std::wprintf(L"%ls %hs %ls %ls\n", how, what, tag.c_str(), file.c_str());
  return how[0] != L'M';
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc < 3) {
    std::fwprintf(stderr, L"usage: catalog_check CATALOG FILE...\n");
    return 2;
  }
  HANDLE catalog = CryptCATOpen(argv[1], CRYPTCAT_OPEN_EXISTING, 0, 0, 0);
  if (catalog == INVALID_HANDLE_VALUE || !catalog) {
    std::wprintf(L"CryptCATOpen(%ls) failed: %lu\n", argv[1], GetLastError());
    return 1;
  }
  HMODULE wintrust = GetModuleHandleW(L"wintrust.dll");
  auto acquire2 = reinterpret_cast<AcquireContext2>(GetProcAddress(wintrust, "CryptCATAdminAcquireContext2"));
  auto calc2 = reinterpret_cast<CalcHash2>(GetProcAddress(wintrust, "CryptCATAdminCalcHashFromFileHandle2"));
  HCATADMIN sha256Admin = nullptr;
  if (!acquire2 || !calc2 || !acquire2(&sha256Admin, nullptr, BCRYPT_SHA256_ALGORITHM, nullptr, 0)) sha256Admin = nullptr;
  std::wprintf(L"SHA-256 catalog context: %ls\n", sha256Admin ? L"the system's" : L"none (CryptoAPI hashes here)");

  const std::set<std::wstring> listed = MemberTags(catalog);
  std::wprintf(L"%u members listed\n", static_cast<unsigned>(listed.size()));
  bool all = true;
  for (int i = 2; i < argc; ++i) {
    std::string bytes;
    HANDLE f = CreateFileW(argv[i], GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (f == INVALID_HANDLE_VALUE || !ReadAll(argv[i], &bytes)) {
      std::wprintf(L"cannot read %ls\n", argv[i]);
      if (f != INVALID_HANDLE_VALUE) CloseHandle(f);
      all = false;
      continue;
    }
    std::string sha1(20, '\0'), sha256(32, '\0');
    DWORD n = 20;
    if (!CryptCATAdminCalcHashFromFileHandle(f, &n, reinterpret_cast<BYTE*>(&sha1[0]), 0)) sha1.clear();
    n = 32;
    SetFilePointer(f, 0, nullptr, FILE_BEGIN);
    if (!sha256Admin || !calc2(sha256Admin, f, &n, reinterpret_cast<BYTE*>(&sha256[0]), 0)) {
      sha256 = CryptoApiHash(CALG_SHA_256, bytes);
    }
    CloseHandle(f);
    // A system whose catalog hash of a PE image is the flat file hash (Wine)
    // cannot find a driver's DLL: take the image hash as Windows computes it.
    const std::string image = ImageHashInput(bytes);
    if (!image.empty() && sha1 == CryptoApiHash(CALG_SHA1, bytes)) {
      std::wprintf(L"%ls: the system hashed the PE image flat; image hash computed here\n", argv[i]);
      sha1 = CryptoApiHash(CALG_SHA1, image);
      if (!sha256Admin) sha256 = CryptoApiHash(CALG_SHA_256, image);
    }
    all = Lookup(catalog, listed, argv[i], "SHA-1", sha1) && all;
    all = Lookup(catalog, listed, argv[i], "SHA-256", sha256) && all;
  }
  if (sha256Admin) CryptCATAdminReleaseContext(sha256Admin, 0);
  CryptCATClose(catalog);
  return all ? 0 : 1;
}
