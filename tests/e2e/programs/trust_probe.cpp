// Lists the thumbprints in the local machine's TrustedPublisher and Root
// stores and checks each catalog given with WinVerifyTrust:
//   store|TrustedPublisher|THUMBPRINT
//   store|Root|THUMBPRINT
//   verify|CATALOG|0xRESULT          (0x00000000 when trusted)
// Usage: trust_probe.exe OUTPUT-FILE [CATALOG...]
#include <windows.h>
#include <wincrypt.h>
#include <softpub.h>
#include <wintrust.h>

#include <cstdio>
#include <initializer_list>

int wmain(int argc, wchar_t** argv) {
  if (argc < 2) return 2;
  FILE* out = _wfopen(argv[1], L"wb");
  if (out == nullptr) return 2;
  for (const char* name : {"TrustedPublisher", "Root"}) {
    HCERTSTORE store = CertOpenStore(CERT_STORE_PROV_SYSTEM_A, 0, 0,
                                     CERT_SYSTEM_STORE_LOCAL_MACHINE | CERT_STORE_READONLY_FLAG, name);
    if (store == nullptr) continue;
    for (PCCERT_CONTEXT c = nullptr; (c = CertEnumCertificatesInStore(store, c)) != nullptr;) {
      BYTE hash[20];
      DWORD size = sizeof hash;
      if (!CertGetCertificateContextProperty(c, CERT_SHA1_HASH_PROP_ID, hash, &size)) continue;
      std::fprintf(out, "store|%s|", name);
      for (DWORD i = 0; i < size; ++i) std::fprintf(out, "%02X", hash[i]);
      std::fprintf(out, "\n");
    }
    CertCloseStore(store, 0);
  }
  for (int i = 2; i < argc; ++i) {
    WINTRUST_FILE_INFO file = {sizeof file, argv[i], nullptr, nullptr};
    WINTRUST_DATA data = {};
    data.cbStruct = sizeof data;
    data.dwUIChoice = WTD_UI_NONE;
    data.fdwRevocationChecks = WTD_REVOKE_NONE;
    data.dwUnionChoice = WTD_CHOICE_FILE;
    data.pFile = &file;
    data.dwStateAction = WTD_STATEACTION_VERIFY;
    GUID action = WINTRUST_ACTION_GENERIC_VERIFY_V2;
    const LONG result = WinVerifyTrust(static_cast<HWND>(INVALID_HANDLE_VALUE), &action, &data);
    data.dwStateAction = WTD_STATEACTION_CLOSE;
    WinVerifyTrust(static_cast<HWND>(INVALID_HANDLE_VALUE), &action, &data);
    std::fprintf(out, "verify|%ls|0x%08lX\n", argv[i], static_cast<unsigned long>(result));
  }
  std::fclose(out);
  return 0;
}
