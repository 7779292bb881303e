// The working folder of one command: a folder the program makes itself, under
// a name nobody can guess, in a place nobody can rename or swap while the
// command runs. "%ALLUSERSPROFILE%" is open to every user's folder creation,
// so a "Tovlan" found there is entered only when it is as the program makes
// it, and nothing in it is touched unless the program made it.
#pragma once
#include <string>
#include <vector>

#include "common/entry_owner.h"  // kOwnFolderSddl
#include "os/devices.h"
#include "os/os_types.h"
// A working folder's name: this prefix and 32 lower-case hex digits.
inline constexpr const char kWorkingFolderPrefix[] = "lumatrek.";

class StagingFolder {
 public:
  StagingFolder() = default;
  // Removes the working folder (Remove) and lets go of the path.
  ~StagingFolder();
  StagingFolder(const StagingFolder&) = delete;
  StagingFolder& operator=(const StagingFolder&) = delete;

  // Opens %ALLUSERSPROFILE% and holds "Tovlan" there (created with
  // kOwnFolderSddl when missing), each checked on its handle to be a plain
  // folder at exactly its path, "Tovlan" also to be owned by SYSTEM or the
  // Administrators with exactly that access list (only that is held by
  // sharing: no open that could wait on an oplock is made on another's); removes earlier runs'
  // working folders there (only those with that owner and list); creates
  // "lumatrek.<32 random hex digits>" with kOwnFolderSddl and holds it once
  // its handle shows the same. When any of that fails, does the same in the
  // Windows folder (%SystemRoot%\Tovlan), where no standard user can create
  // anything. Nothing else found on the way is entered, changed or moved.
  // False when neither place gave a working folder.
  [[nodiscard]] bool Prepare();
  bool ready() const { return own_.valid(); }
  // The working folder joined with `relative` (a trailing backslash stays);
  // "" before Prepare succeeded.
  std::string PathOf(const std::string& relative) const;
  // Deletes everything in the working folder (again for up to about two
  // seconds: the printer UI's folder is in use until that process has fully
  // ended), then the folder itself; true when it is gone. Links met are
  // removed as links.
  [[nodiscard]] bool Remove();

 private:
  // Holds `path` (with `ours`, only a folder of the program's making).
  [[nodiscard]] bool HoldFolder(const std::string& path, bool ours);
  [[nodiscard]] bool PrepareIn(const std::string& base);
  [[nodiscard]] bool MakeWorkingFolder(const std::string& parent);
  void LetGo();

  std::vector<os::OwnedHandle> path_;  // each folder above the working folder, held
  os::OwnedHandle own_;                // the working folder, held
  std::string folder_;
};
