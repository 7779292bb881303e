#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "fake_os/fake_os.h"
#include "fake_os/fake_services.h"
#include "os/services.h"
#include "spooler/service_control.h"
#include "support/case_name.h"

namespace {

using fake::kNever;

fake::ServiceManager& scm() { return fake::services(); }

// Every handle closed once and every snapshot freed.
void ExpectReleased(const char* what = "") {
  EXPECT_EQ(0, scm().OpenHandles()) << what;
  EXPECT_EQ(0, scm().badCloses) << what;
  EXPECT_EQ(0, fake::LiveBlocks()) << what;
}

std::uint32_t Elapsed(std::uint32_t from) { return scm().tick - from; }

}  // namespace

TEST(StartSpooler, AlreadyRunningAnswersAtTheFirstQueryAndStartsNothing) {
  scm().AddSpoolerWithPrerequisites(os::SERVICE_RUNNING);
  EXPECT_EQ(1, StartSpooler());
  EXPECT_EQ(1, fake::CallCount("OpenSCManagerA"));
  EXPECT_EQ(1, fake::CallCount("OpenServiceA"));  // the spooler only: the snapshot shows the rest running
  EXPECT_EQ(1, fake::CallCount("QueryServiceStatus"));
  EXPECT_TRUE(scm().started.empty());
  EXPECT_EQ(0, fake::CallCount("Sleep"));
  ExpectReleased();
}

TEST(StartSpooler, StartsOnlyThePrerequisitesNotShownRunningThenWaitsForTheSpooler) {
  scm().Add("DcomLaunch", os::SERVICE_RUNNING);
  scm().Add("RpcEptMapper", os::SERVICE_STOPPED).startMs = 120;
  // "RpcSs" is absent: it is tried and the attempt goes on.
  scm().Add("Spooler", os::SERVICE_STOPPED).startMs = 3000;
  const std::uint32_t before = scm().tick;
  EXPECT_EQ(1, StartSpooler());
  EXPECT_EQ((std::vector<std::string>{"RpcEptMapper", "Spooler"}), scm().started);
  EXPECT_EQ(3, fake::CallCount("OpenServiceA"));  // RpcEptMapper, RpcSs (refused), spooler
  EXPECT_EQ(os::SERVICE_RUNNING, scm().StateOf("RpcEptMapper"));
  EXPECT_EQ(os::SERVICE_RUNNING, scm().StateOf("spooler"));
  EXPECT_GE(Elapsed(before), 3000u + 120u);
  EXPECT_LT(Elapsed(before), 3000u + 120u + 2 * 50u);
  EXPECT_EQ(1, fake::CallCount("OpenSCManagerA"));
  ExpectReleased();
}

namespace {
struct SnapshotFailure {
  const char* what;
  void (*arrange)();
};

class WithoutASnapshot : public testing::TestWithParam<SnapshotFailure> {
 protected:
  void SetUp() override {
    scm().AddSpoolerWithPrerequisites(os::SERVICE_RUNNING);
    GetParam().arrange();
  }
};
}  // namespace

TEST_P(WithoutASnapshot, NothingIsCountedRunning) {
  EXPECT_FALSE(IsSpoolerRunning());
  ExpectReleased();
}

TEST_P(WithoutASnapshot, StartSpoolerTriesEveryPrerequisite) {
  EXPECT_EQ(1, StartSpooler());
  // Each prerequisite is opened and asked for its state, then the spooler.
  EXPECT_EQ(4, fake::CallCount("OpenServiceA"));
  EXPECT_EQ(4, fake::CallCount("QueryServiceStatus"));
  ExpectReleased();
}

INSTANTIATE_TEST_SUITE_P(
    EachStep, WithoutASnapshot,
    testing::Values(SnapshotFailure{"sizing call fails", [] { fake::Fail("EnumServicesStatusA"); }},
                    SnapshotFailure{"filling call fails", [] { fake::FailNth("EnumServicesStatusA", 2); }},
                    SnapshotFailure{"no memory for the snapshot", [] { fake::Fail("malloc"); }}),
    NameByWhat());

TEST(StartSpooler, APrerequisiteThatWillNotStartDoesNotDecideTheResult) {
  scm().Add("DcomLaunch", os::SERVICE_STOPPED).refusesStart = true;
  scm().Add("RpcEptMapper", os::SERVICE_STOPPED).startMs = kNever;  // gives up after 11 s
  scm().Add("RpcSs", os::SERVICE_RUNNING);
  scm().Add("Spooler", os::SERVICE_STOPPED);
  EXPECT_EQ(1, StartSpooler());
  EXPECT_EQ(os::SERVICE_RUNNING, scm().StateOf("Spooler"));
  EXPECT_GE(scm().tick, 11000u);
  ExpectReleased();
}

TEST(StartSpooler, FailsAfterFourAttemptsEachWithAFreshSnapshot) {
  scm().AddSpoolerWithPrerequisites(os::SERVICE_STOPPED);
  scm().Find("Spooler")->refusesStart = true;
  EXPECT_EQ(0, StartSpooler());
  EXPECT_EQ(4, fake::CallCount("OpenSCManagerA"));
  EXPECT_EQ(4, fake::CallCount("StartServiceA"));
  // Each attempt takes its own snapshot before it starts the spooler.
  bool snapshotSinceLastStart = false;
  for (const std::string& call : fake::Calls()) {
    if (call == "EnumServicesStatusA") snapshotSinceLastStart = true;
    if (call != "StartServiceA") continue;
    EXPECT_TRUE(snapshotSinceLastStart);
    snapshotSinceLastStart = false;
  }
  EXPECT_EQ(0, fake::CallCount("Sleep"));
  ExpectReleased();
}

TEST(StartSpooler, SucceedsInALaterAttemptWhenTheFirstOnesFail) {
  scm().AddSpoolerWithPrerequisites(os::SERVICE_STOPPED);
  fake::FailNth("StartServiceA", 1);
  fake::FailNth("StartServiceA", 2);
  EXPECT_EQ(1, StartSpooler());
  EXPECT_EQ(3, fake::CallCount("OpenSCManagerA"));
  ExpectReleased();
}

TEST(StartServiceAndWait, PausedServiceIsContinuedUnlessTheControlIsRefused) {
  {
    scm().Add("Spooler", os::SERVICE_PAUSED).continueMs = 700;
    ServiceConnection connection;
    EXPECT_EQ(1, StartServiceAndWait(connection, "spooler"));
    EXPECT_EQ(os::SERVICE_RUNNING, scm().StateOf("Spooler"));
    EXPECT_GE(scm().tick, 700u);
    EXPECT_TRUE(scm().started.empty());
  }
  ExpectReleased("accepted");

  fake::Reset();
  {
    scm().Add("Spooler", os::SERVICE_PAUSED).refusesContinue = true;
    ServiceConnection connection;
    EXPECT_EQ(0, StartServiceAndWait(connection, "spooler"));
    EXPECT_EQ(os::SERVICE_PAUSED, scm().StateOf("Spooler"));
    EXPECT_EQ(0, fake::CallCount("Sleep"));  // fails at once, no waiting
  }
  ExpectReleased("refused");
}

TEST(StartServiceAndWait, GivesUpOnceElevenSecondsHavePassed) {
  scm().Add("Spooler", os::SERVICE_STOPPED).startMs = kNever;
  ServiceConnection connection;
  EXPECT_EQ(0, StartServiceAndWait(connection, "spooler"));
  EXPECT_GE(scm().tick, 11000u);
  EXPECT_LT(scm().tick, 11000u + 50u);
  EXPECT_EQ(os::SERVICE_START_PENDING, scm().StateOf("Spooler"));
}

namespace {
class StartServiceAndWaitIn : public testing::TestWithParam<std::uint32_t> {};
}  // namespace

TEST_P(StartServiceAndWaitIn, OtherStatesFailAtOnce) {
  const std::uint32_t state = GetParam();
  scm().Add("Spooler", os::SERVICE_STOPPED).Pending(state, os::SERVICE_STOPPED, kNever);
  {
    ServiceConnection connection;
    EXPECT_EQ(0, StartServiceAndWait(connection, "spooler"));
  }
  EXPECT_EQ(0, fake::CallCount("Sleep"));
  EXPECT_EQ(0, fake::CallCount("StartServiceA"));
  ExpectReleased();
}

INSTANTIATE_TEST_SUITE_P(States, StartServiceAndWaitIn,
                         testing::Values(os::SERVICE_STOP_PENDING, os::SERVICE_PAUSE_PENDING, 9u));

TEST(StartServiceAndWait, AFailedQueryFailsOnlyItsOwnTestExceptTheLastOfAPass) {
  // Pass 1 makes three queries (running? paused? stopped: start); pass 2 makes four.
  scm().Add("Spooler", os::SERVICE_STOPPED).startMs = 5000;
  for (int nth : {4, 5, 6}) fake::FailNth("QueryServiceStatus", nth);
  {
    ServiceConnection connection;
    EXPECT_EQ(1, StartServiceAndWait(connection, "spooler"));
  }

  fake::Reset();
  scm().Add("Spooler", os::SERVICE_STOPPED).startMs = 5000;
  fake::FailNth("QueryServiceStatus", 7);
  {
    ServiceConnection connection;
    EXPECT_EQ(0, StartServiceAndWait(connection, "spooler"));
  }
  EXPECT_EQ(7, fake::CallCount("QueryServiceStatus"));
  EXPECT_EQ(1, fake::CallCount("Sleep")) << "only the pause after the start";
  ExpectReleased();
}

TEST(StopSpooler, AlreadyStoppedAnswersAtTheFirstQueryWithoutAControl) {
  scm().AddSpoolerWithPrerequisites(os::SERVICE_STOPPED);
  EXPECT_EQ(1, StopSpooler());
  EXPECT_EQ(1, fake::CallCount("QueryServiceStatus"));
  EXPECT_EQ(0, fake::CallCount("ControlService"));
  ExpectReleased();
}

namespace {
class StopSpoolerFrom : public testing::TestWithParam<std::uint32_t> {};
}  // namespace

TEST_P(StopSpoolerFrom, RunningOrPausedSpoolerIsStoppedAndWaitedFor) {
  const std::uint32_t state = GetParam();
  scm().AddSpoolerWithPrerequisites(state);
  scm().Find("Spooler")->stopMs = 4000;
  EXPECT_EQ(1, StopSpooler());
  EXPECT_EQ(os::SERVICE_STOPPED, scm().StateOf("Spooler"));
  EXPECT_EQ(1, fake::CallCount("ControlService"));
  EXPECT_GE(scm().tick, 4000u);
  EXPECT_LT(scm().tick, 4050u);
  EXPECT_EQ(os::SERVICE_RUNNING, scm().StateOf("RpcSs")) << "the prerequisites are left alone";
  ExpectReleased();
}

INSTANTIATE_TEST_SUITE_P(States, StopSpoolerFrom, testing::Values(os::SERVICE_RUNNING, os::SERVICE_PAUSED));

TEST(StopSpooler, StuckInStopPendingFailsEachOfFourAttemptsAfterTwentyOneSeconds) {
  scm().AddSpoolerWithPrerequisites(os::SERVICE_RUNNING);
  scm().Find("Spooler")->stopMs = kNever;
  EXPECT_EQ(0, StopSpooler());
  EXPECT_EQ(4, fake::CallCount("OpenSCManagerA"));
  // The first attempt sends the stop; the later ones find it already stopping.
  EXPECT_EQ(1, fake::CallCount("ControlService"));
  EXPECT_GE(scm().tick, 4u * 21000u);
  EXPECT_LT(scm().tick, 4u * (21000u + 50u));
  ExpectReleased();
}

TEST(StopSpooler, ARefusedStopFailsEveryAttemptAtOnce) {
  scm().AddSpoolerWithPrerequisites(os::SERVICE_RUNNING);
  scm().Find("Spooler")->refusesStop = true;  // a dependent service runs
  EXPECT_EQ(0, StopSpooler());
  EXPECT_EQ(4, fake::CallCount("ControlService"));
  EXPECT_EQ(0, fake::CallCount("Sleep"));
  EXPECT_EQ(os::SERVICE_RUNNING, scm().StateOf("Spooler"));
  ExpectReleased();
}

TEST(ServiceWaits, MeasureElapsedTimeAcrossTheWrapOfTheTickCounter) {
  // Starting 3 s before the counter wraps: a start that takes 10.9 s is waited
  // for, and one that never ends is given up after 11 s, not earlier or later.
  const std::uint32_t nearWrap = 0xFFFFFFFFu - 3000u;
  scm().tick = nearWrap;
  scm().Add("Quick", os::SERVICE_STOPPED).startMs = 10900;
  scm().Add("Stuck", os::SERVICE_STOPPED).startMs = kNever;
  scm().Add("Stopper", os::SERVICE_RUNNING).stopMs = kNever;
  ServiceConnection connection;

  EXPECT_EQ(1, StartServiceAndWait(connection, "Quick"));
  EXPECT_GE(Elapsed(nearWrap), 10900u);
  EXPECT_LT(Elapsed(nearWrap), 10950u);

  scm().tick = nearWrap;
  EXPECT_EQ(0, StartServiceAndWait(connection, "Stuck"));
  EXPECT_GE(Elapsed(nearWrap), 11000u);
  EXPECT_LT(Elapsed(nearWrap), 11050u);

  scm().tick = nearWrap;
  EXPECT_EQ(0, StopServiceAndWait(connection, "Stopper"));
  EXPECT_GE(Elapsed(nearWrap), 21000u);
  EXPECT_LT(Elapsed(nearWrap), 21050u);
}

TEST(ServiceControl, ManagerThatCannotBeOpenedFailsEveryOperation) {
  scm().AddSpoolerWithPrerequisites(os::SERVICE_RUNNING);
  fake::Fail("OpenSCManagerA");
  EXPECT_FALSE(IsSpoolerRunning());
  EXPECT_EQ(0, StopSpooler());
  EXPECT_EQ(0, StartSpooler());
  EXPECT_EQ(1 + 4 + 4, fake::CallCount("OpenSCManagerA"));
  EXPECT_EQ(0, fake::CallCount("OpenServiceA"));
  EXPECT_EQ(0, fake::CallCount("CloseServiceHandle"));
  EXPECT_EQ(os::SERVICE_RUNNING, scm().StateOf("Spooler"));
  ExpectReleased();
}

TEST(ServiceControl, ServiceThatCannotBeOpenedFailsTheWaits) {
  scm().AddSpoolerWithPrerequisites(os::SERVICE_RUNNING);
  fake::Fail("OpenServiceA");
  {
    ServiceConnection connection;
    EXPECT_EQ(0, StartServiceAndWait(connection, "spooler"));
    EXPECT_EQ(0, StopServiceAndWait(connection, "spooler"));
  }
  EXPECT_EQ(0, fake::CallCount("QueryServiceStatus"));
  ExpectReleased();
}

TEST(IsSpoolerRunning, ReadsTheSnapshotStateOfTheServiceNamedSpoolerInAnyCase) {
  scm().Add("SpoolerHelper", os::SERVICE_RUNNING);
  scm().Add("SPOOLER", os::SERVICE_RUNNING);
  EXPECT_TRUE(IsSpoolerRunning());
  for (std::uint32_t state : {os::SERVICE_STOPPED, os::SERVICE_START_PENDING, os::SERVICE_PAUSED}) {
    scm().Find("SPOOLER")->state = state;
    EXPECT_FALSE(IsSpoolerRunning()) << state;
  }
  scm().services.clear();
  EXPECT_FALSE(IsSpoolerRunning());
  ExpectReleased();
}

TEST(RestartSpooler, StopsARunningSpoolerBeforeStartingIt) {
  scm().AddSpoolerWithPrerequisites(os::SERVICE_RUNNING);
  scm().Find("Spooler")->stopMs = 1500;
  scm().Find("Spooler")->startMs = 2500;
  EXPECT_EQ(1, RestartSpooler());
  EXPECT_EQ(os::SERVICE_RUNNING, scm().StateOf("Spooler"));
  ASSERT_NE(-1, fake::FirstCall("ControlService"));
  EXPECT_LT(fake::FirstCall("ControlService"), fake::FirstCall("StartServiceA"));
  EXPECT_EQ((std::vector<std::string>{"Spooler"}), scm().started);
  EXPECT_GE(scm().tick, 4000u);
  ExpectReleased();
}

TEST(RestartSpooler, AStoppedSpoolerIsOnlyStartedAndAFailedStopDoesNotPreventTheStart) {
  scm().AddSpoolerWithPrerequisites(os::SERVICE_STOPPED);
  EXPECT_EQ(1, RestartSpooler());
  EXPECT_EQ(0, fake::CallCount("ControlService"));
  EXPECT_EQ(os::SERVICE_RUNNING, scm().StateOf("Spooler"));

  fake::Reset();
  scm().AddSpoolerWithPrerequisites(os::SERVICE_RUNNING);
  scm().Find("Spooler")->refusesStop = true;
  EXPECT_EQ(1, RestartSpooler());  // still running: the start answers at once
  EXPECT_EQ(4, fake::CallCount("ControlService"));
  ExpectReleased();
}

// Accepted requests that never take effect: the wait pauses between them and
// gives up at its usual deadline.
TEST(ServiceWaits, RequestsThatAreAcceptedButNeverTakeEffectEndAtTheDeadline) {
  struct Case {
    const char* what;
    std::uint32_t state;
    bool stop;
    std::uint32_t deadlineMs;
  };
  const Case cases[] = {
      {"a start after which the service stops again", os::SERVICE_STOPPED, false, 11000},
      {"a continue after which the service stays paused", os::SERVICE_PAUSED, false, 11000},
      {"a stop after which the service keeps running", os::SERVICE_RUNNING, true, 21000},
  };
  for (const Case& c : cases) {
    fake::Reset();
    fake::Service& spooler = scm().Add("Spooler", c.state);
    spooler.stopsAgain = true;
    spooler.ignoresControls = true;
    {
      ServiceConnection connection;
      EXPECT_EQ(0, c.stop ? StopServiceAndWait(connection, "spooler") : StartServiceAndWait(connection, "spooler"))
          << c.what;
    }
    EXPECT_GE(scm().tick, c.deadlineMs) << c.what;
    EXPECT_LT(scm().tick, c.deadlineMs + 50u) << c.what;
    EXPECT_EQ(c.state, scm().StateOf("Spooler")) << c.what;
    ExpectReleased(c.what);
  }
}
