// The "Uninstall" button: takes both models' printers, jobs, drivers, driver
// packages and driver files out of the system, and reports once.
#pragma once
#include "common/messages.h"
#include "process/child_runs.h"

inline constexpr const char kUninstalled[] = "驱动卸载完成";
inline constexpr const char kUninstallFailed[] = "驱动卸载失败，请重启计算机后重试！";

// Runs every step under one switch-off of WOW64 file-system redirection (only
// where the process runs under WOW64; a 32-bit system has none) and shows
// exactly one message: "驱动卸载完成" or the failure text. Redirection is
// switched back on, after the message, on every path. The printer UI and
// pnputil run and are waited for as `runs` says.
void RunUninstallCommand(MessageSink& messages, const ChildRuns& runs = ChildRuns{});
