// Shared include of the Win32 adapters: the real platform headers, in the
// order they need (Winsock before windows.h). Include it first.
#pragma once
#include <winsock2.h>
#include <ws2tcpip.h>
#include <windows.h>
#include <shlwapi.h>
#include <winspool.h>
