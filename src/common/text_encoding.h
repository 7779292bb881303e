// The program's texts are GBK (code page 936) whatever the system's code
// page is; what it prints leaves as UTF-16 for a console and as UTF-8 for a
// file or pipe, so it reads right on any Windows.
#pragma once
#include <string>

#include "os/os_types.h"

using WideText = std::basic_string<os::WCHAR>;

// `text` (code page 936) as UTF-16; empty when it cannot be converted.
WideText WideFromProgramText(const std::string& text);
// `text` (code page 936) as UTF-8; `text` unchanged when it cannot be converted.
std::string Utf8FromProgramText(const std::string& text);
