// Writing a page straight to a USB printer device, past the spooler.
#pragma once
#include <string>

#include "os/os_types.h"

// How long a device may take to accept a page before the write is cancelled,
// and how long the cancellation may then take.
inline constexpr os::DWORD kUsbWriteTimeoutMs = 30000;
inline constexpr os::DWORD kUsbCancelTimeoutMs = 5000;

// The device path of a device path stem: "\\?\" + the stem upper-cased with
// every "\" made "#" + "#" + the USB device interface class.
std::string UsbDevicePath(const std::string& stem);

// The device of `stem` opened for overlapped reading and writing, shared;
// INVALID_HANDLE_VALUE (or null) when the stem is empty or it cannot be opened.
[[nodiscard]] os::HANDLE OpenUsbDevice(const std::string& stem);

enum class UsbTransfer { Write, WriteAtEnd, Read };
// One overlapped transfer of `length` bytes on `device` (opened by
// OpenUsbDevice), from or into `bytes`, waited for on the device handle at
// most `waitMs`; `moved` says how many bytes went. False when it failed or did
// not complete in time (it is then cancelled, and the cancellation waited for
// at most kUsbCancelTimeoutMs). WriteAtEnd asks a file standing in for the
// device to take the bytes at its end.
[[nodiscard]] bool TransferOnUsbDevice(os::HANDLE device, UsbTransfer kind, os::BYTE* bytes, os::DWORD length,
                                       os::DWORD waitMs, os::DWORD* moved);

// Opens the device of `stem` for overlapped I/O, writes `length` bytes in one
// overlapped write and waits on the device handle for its completion.
// True when the device took all `length` bytes. False when the stem is empty,
// the device cannot be opened, the write fails or falls short, or it has not
// completed within kUsbWriteTimeoutMs (it is then cancelled, and the
// cancellation waited for at most kUsbCancelTimeoutMs).
[[nodiscard]] bool WriteToUsbDevice(const std::string& stem, const os::BYTE* data, os::DWORD length);
