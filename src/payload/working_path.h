// Paths in the product folder "%ALLUSERSPROFILE%\Tovlan", where each command
// makes its own working folder (payload/staging_folder.h).
#pragma once
#include <string>

// The full path of `relative` inside the working folder, expanded afresh on
// every call; a trailing backslash of `relative` survives. "" when the
// expanded working folder does not fit its 260-character buffer.
std::string WorkingPath(const std::string& relative);

// `base` and `relative`, each trimmed of white space and with every "/" made
// "\", joined by exactly one backslash (only one leading "\" of `relative`
// is dropped).
std::string JoinPath(const std::string& base, const std::string& relative);
