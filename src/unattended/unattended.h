// The unattended mode: one command from the command line, through the same
// command handlers as the dialog, reported as lines on the console of the
// program that started us (and in the /log file) and as the exit code.
#pragma once
#include <string>
#include <vector>

// Runs the command that `arguments` (everything after the program name) name
// and returns the exit code (unattended/exit_codes.h). A line that is not
// understood prints the usage text and returns before anything is staged.
[[nodiscard]] int RunUnattended(const std::vector<std::string>& arguments);
