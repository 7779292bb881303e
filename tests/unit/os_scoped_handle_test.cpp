// The one handle owner: every handle it takes is closed exactly once, whatever
// path it leaves by (moved on, reset, assigned over, released, refilled).
#include <gtest/gtest.h>

#include <vector>

#include "os/scoped_handle.h"

namespace {

std::vector<int> closed;

// -1 owns nothing, like INVALID_SOCKET or INVALID_HANDLE_VALUE.
struct CountingTraits {
  using Handle = int;
  static Handle InvalidValue() { return -1; }
  static bool IsValid(Handle h) { return h != -1; }
  static void Close(Handle h) { closed.push_back(h); }
};
using Owner = os::ScopedHandle<CountingTraits>;

void Fill(int* out, int value) { *out = value; }

TEST(ScopedHandle, ClosesEachHandleOnceOnEveryPath) {
  closed.clear();
  {
    Owner a(1);
    Owner b(std::move(a));  // moved on: only b closes 1
    EXPECT_FALSE(a.valid());
    Owner c(2);
    c = std::move(b);  // assigned over: 2 closed now, 1 later by c
    EXPECT_EQ(std::vector<int>{2}, closed);
    c.reset(3);  // 1 closed
    c.reset(3);  // the same handle again is not closed
    Owner d(4);
    EXPECT_EQ(4, d.release());  // released: never closed by the owner
    Owner e;
    EXPECT_FALSE(e);
    Fill(e.receive(), 5);
    Fill(e.receive(), 6);  // refilled: 5 closed first
    EXPECT_EQ(6, e.get());
  }
  EXPECT_EQ((std::vector<int>{2, 1, 5, 6, 3}), closed);
}

}  // namespace
