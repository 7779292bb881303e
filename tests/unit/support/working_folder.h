// The working folder a test's first command makes: the fake's random
// generator counts from 00 after every Reset, so its name is known.
#pragma once
#include <string>

#include "common/entry_owner.h"
#include "fake_os/fake_files.h"

inline const std::string kFirstWorkingFolder = "C:\\ProgramData\\Tovlan\\lumatrek.000102030405060708090a0b0c0d0e0f";

// "Tovlan" and the first working folder as an earlier run of the program left
// them: with the program's own descriptor (entry_owner.h), which the clean-up
// asks of what it removes.
inline void AddEarlierRunsFolder() {
  fake::files().AddFolder(kFirstWorkingFolder);
  fake::files().SetSecurity("C:\\ProgramData\\Tovlan", kOwnFolderSddl);
  fake::files().SetSecurity(kFirstWorkingFolder, kOwnFolderSddl);
}
