// Test runner: every test starts from a fresh fake operating system.
#include <gtest/gtest.h>

#include "fake_os/fake_os.h"

namespace {

class ResetFakeOs : public testing::EmptyTestEventListener {
  void OnTestStart(const testing::TestInfo&) override { fake::Reset(); }
};

}  // namespace

int main(int argc, char** argv) {
  testing::InitGoogleTest(&argc, argv);
  testing::UnitTest::GetInstance()->listeners().Append(new ResetFakeOs);
  return RUN_ALL_TESTS();
}
