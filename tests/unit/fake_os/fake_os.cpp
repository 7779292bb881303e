#include "fake_os.h"

#include <algorithm>
#include <cstdlib>
#include <map>
#include <set>

#include "os/memory.h"
#include "os/os_types.h"

namespace fake {
namespace {

struct FailPlan {
  bool always = false;
  std::set<int> nth;
};

struct Core {
  std::vector<std::function<void()>> clears;
  std::map<std::string, FailPlan> plans;
  std::map<std::pair<std::string, int>, std::function<void()>> actions;
  std::map<std::string, int> counts;
  std::vector<std::string> calls;
  std::set<void*> blocks;
  os::DWORD lastError = 0;
  std::size_t largestBlock = static_cast<std::size_t>(-1);  // larger requests fail
};

Core& core() {
  static Core c;
  return c;
}

}  // namespace

void OnReset(std::function<void()> clear) { core().clears.push_back(std::move(clear)); }

void Reset() {
  Core& c = core();
  c.plans.clear();
  c.actions.clear();
  c.counts.clear();
  c.calls.clear();
  for (void* b : c.blocks) std::free(b);
  c.blocks.clear();
  c.lastError = 0;
  c.largestBlock = static_cast<std::size_t>(-1);
  for (auto& clear : c.clears) clear();
}

void Fail(const std::string& name) { core().plans[name].always = true; }
void FailNth(const std::string& name, int nth) { core().plans[name].nth.insert(nth); }

void OnNthCall(const std::string& name, int nth, std::function<void()> action) {
  core().actions[{name, nth}] = std::move(action);
}

bool Called(const std::string& name) {
  Core& c = core();
  c.calls.push_back(name);
  const int n = ++c.counts[name];
  auto action = c.actions.find({name, n});
  if (action != c.actions.end()) {
    auto run = std::move(action->second);
    c.actions.erase(action);
    run();
  }
  auto it = c.plans.find(name);
  if (it == c.plans.end()) return false;
  return it->second.always || it->second.nth.count(n) != 0;
}

const std::vector<std::string>& Calls() { return core().calls; }

int CallCount(const std::string& name) {
  auto it = core().counts.find(name);
  return it == core().counts.end() ? 0 : it->second;
}

void FailAllocationsOver(std::size_t bytes) { core().largestBlock = bytes; }

int FirstCall(const std::string& name) {
  const auto& calls = Calls();
  const auto it = std::find(calls.begin(), calls.end(), name);
  return it == calls.end() ? -1 : static_cast<int>(it - calls.begin());
}

int LastCall(const std::string& name) {
  const auto& calls = Calls();
  const auto it = std::find(calls.rbegin(), calls.rend(), name);
  return it == calls.rend() ? -1 : static_cast<int>(calls.rend() - it) - 1;
}

int LiveBlocks() { return static_cast<int>(core().blocks.size()); }

std::string Upper(std::string s) {
  for (char& c : s) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 32);
  }
  return s;
}

}  // namespace fake

namespace os {

DWORD GetLastError() { return fake::core().lastError; }
void SetLastError(DWORD code) { fake::core().lastError = code; }

void* malloc(std::size_t size) {
  if (fake::Called("malloc") || size > fake::core().largestBlock) return nullptr;
  void* block = std::malloc(size == 0 ? 1 : size);
  fake::core().blocks.insert(block);
  return block;
}

void free(void* block) {
  if (block == nullptr) return;
  fake::core().blocks.erase(block);
  std::free(block);
}

}  // namespace os
