// The in-memory operating system that the unit tests link instead of the
// Win32 adapters. Every facility keeps state (ports, keys, files, ...), records
// the calls made to it, and can be told to fail any call.
#pragma once
#include <cstddef>
#include <functional>
#include <string>
#include <vector>

namespace fake {

// Clears every facility; runs before each test.
void Reset();
// Facilities register how they clear themselves.
void OnReset(std::function<void()> clear);

// Scripted failures. A call named `name` fails every time, or only its nth call (1-based).
void Fail(const std::string& name);
void FailNth(const std::string& name, int nth);
// Runs `action` at the nth call named `name`, before the call does anything:
// another program acting in the middle of an operation.
void OnNthCall(const std::string& name, int nth, std::function<void()> action);
// Records the call and answers whether it is scripted to fail.
bool Called(const std::string& name);

// Every call made since the last Reset, by name, in order.
const std::vector<std::string>& Calls();
int CallCount(const std::string& name);
// Index in Calls() of the first or the last call named `name`, or -1.
int FirstCall(const std::string& name);
int LastCall(const std::string& name);

// `s` in upper case (ASCII letters only), for the names Windows compares without case.
std::string Upper(std::string s);

// os::malloc of more than `bytes` fails (until the next Reset).
void FailAllocationsOver(std::size_t bytes);

// Heap blocks from os::malloc that are not yet freed.
int LiveBlocks();

}  // namespace fake
