// The fake machine: its native processor architecture, the version word, and
// whether this (32-bit) process runs under WOW64. The WOW64 redirection switch
// keeps its state; on a machine without WOW64 it fails, as the platform's does.
// Its random generator counts, so that the names made from it are known.
// The system folder is the process table's (fake::processes().systemDirectory).
#pragma once
#include <cstdint>
#include <vector>

namespace fake {

struct SystemInfo {
  // Arrange. By default a 64-bit Windows 8 with this process under WOW64.
  std::uint16_t nativeArchitecture = 9;  // PROCESSOR_ARCHITECTURE_AMD64
  std::uint32_t version = 0x23F00206;    // GetVersion: 6.2, build 9200
  bool wow64 = true;
  std::uint16_t uiLanguage = 0x0804;     // GetUserDefaultUILanguage: Chinese (PRC)
  // A 32-bit x86 machine: no WOW64, no redirection.
  void Make32BitX86();

  // The next byte RtlGenRandom gives; each byte given counts on from it,
  // so the first 16 bytes after a Reset are 00 01 ... 0f.
  std::uint8_t nextRandom = 0;

  // Inspect.
  bool redirectionOn = true;         // the current state of the switch
  std::vector<bool> switchedTo;      // each accepted switch, in order (false: off)
};

SystemInfo& systemInfo();

}  // namespace fake
