// The staging folder "lumatrek" in the working folder, made the program's
// own for one command. The working folder lies where every user may create
// entries while this program runs elevated, so nothing found there is used
// as found.
#pragma once
#include <string>

#include "os/os_types.h"

// Security descriptor of the folders the program creates: owned by the
// Administrators, and an access list (not inherited from above) that gives
// SYSTEM and the Administrators full control, inherited by all below.
inline constexpr const char kOwnFolderSddl[] = "O:BAD:P(A;OICI;FA;;;SY)(A;OICI;FA;;;BA)";

class StagingFolder {
 public:
  enum class Claim {
    Ready,       // a fresh, empty staging folder of our own, held open
    NotCleared,  // something found on the way could be neither removed nor moved aside
    NotCreated,  // a folder could not be created (or a file of the Administrators is in the way)
  };
  StagingFolder() = default;
  ~StagingFolder();
  StagingFolder(const StagingFolder&) = delete;
  StagingFolder& operator=(const StagingFolder&) = delete;

  // Makes "%ALLUSERSPROFILE%\Tovlan\lumatrek" a fresh folder of our own:
  // - "Tovlan" is kept only when it is a plain folder owned by the
  //   Administrators or SYSTEM; a link there is removed, anything of another
  //   owner is moved aside (renamed), and a new one is created with
  //   kOwnFolderSddl.
  // - "lumatrek" is always created new with kOwnFolderSddl: whatever is there
  //   is deleted (links as links) or, when it cannot be emptied, moved aside.
  // Both stay open without delete sharing until destruction, so neither can
  // be renamed or replaced by a link while the command works in them.
  Claim Prepare();
  // Without Prepare: holds both folders as they are when each is a plain
  // folder (no link), so that leftovers in them can be deleted by name
  // without reaching anywhere else. Changes nothing.
  bool HoldExisting();
  // Whether the staging folder is held (by Prepare or HoldExisting).
  bool ready() const { return staging_ != nullptr; }

 private:
  os::HANDLE vendor_ = nullptr;
  os::HANDLE staging_ = nullptr;
};
