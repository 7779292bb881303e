// The working folder of one command: a folder the program makes itself, under
// a name nobody can guess, in a place nobody can rename or swap while the
// command runs. "%ALLUSERSPROFILE%\Tovlan" is open to every user's folder
// creation, so nothing found there is entered unless the program made it.
#pragma once
#include <string>
#include <vector>

#include "os/os_types.h"

// Security descriptor of the folders the program creates: owned by the
// Administrators, and an access list (not inherited from above) that gives
// SYSTEM and the Administrators full control, inherited by all below.
inline constexpr const char kOwnFolderSddl[] = "O:BAD:P(A;OICI;FA;;;SY)(A;OICI;FA;;;BA)";
// A working folder's name: this prefix and 32 lower-case hex digits.
inline constexpr const char kWorkingFolderPrefix[] = "lumatrek.";

class StagingFolder {
 public:
  StagingFolder() = default;
  // Removes the working folder (Remove) and lets go of the path.
  ~StagingFolder();
  StagingFolder(const StagingFolder&) = delete;
  StagingFolder& operator=(const StagingFolder&) = delete;

  // Holds every folder from %ALLUSERSPROFILE% down to "Tovlan" (created with
  // kOwnFolderSddl when missing) open without delete sharing, each checked on
  // its handle to be a plain folder; removes earlier runs' working folders
  // there; creates "lumatrek.<32 random hex digits>" with kOwnFolderSddl and
  // holds it once its handle shows a plain folder owned by the
  // Administrators, SYSTEM or the user this process runs as. When any of
  // that fails, does the same in the system's temporary folder
  // (%SystemRoot%\Temp). Nothing else found on the way is entered, changed
  // or moved. False when neither place gave a working folder.
  bool Prepare();
  bool ready() const { return own_ != nullptr; }
  // The working folder joined with `relative` (a trailing backslash stays);
  // "" before Prepare succeeded.
  std::string PathOf(const std::string& relative) const;
  // Deletes everything in the working folder (again for up to about two
  // seconds: the printer UI's folder is in use until that process has fully
  // ended), then the folder itself; true when it is gone. Links met are
  // removed as links.
  bool Remove();

 private:
  bool HoldFolder(const std::string& path);
  bool MakeWorkingFolder(const std::string& parent);
  void LetGo();

  std::vector<os::HANDLE> path_;  // each folder above the working folder, held
  os::HANDLE own_ = nullptr;      // the working folder, held
  std::string folder_;
};
