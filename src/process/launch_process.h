// Starting a child program in a given folder.
#pragma once
#include "os/os_types.h"

// Starts `program` with `arguments` (null or "" for none) as its command line,
// with `folder` as its current folder and `show` as its show-window value, and
// returns the process handle (the caller closes it), or null when it could not
// be started or the command line would not fit its 2048-character buffer. A
// program named without a path is taken from the system folder, never from
// `folder` or the current folder. The program's own current folder is the
// same after the call as before.
[[nodiscard]] os::HANDLE LaunchProcess(const char* program, const char* arguments, const char* folder, int show);
