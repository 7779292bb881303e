// The failing steps of the sample staging that both test commands share, each
// with the one message it shows, as a table for TEST_P suites (the staging's
// own, the connect test's and the USB port test's).
#pragma once
#include <functional>
#include <string>
#include <vector>

#include "support/recording_sink.h"

struct StagingFailure {
  const char* what;
  std::string resource;  // the sample resource 208; none when empty
  std::function<void()> arrange;
  ShownMessage message;
};

// Defined with the staging's own tests (testprint_sample_staging_test.cpp),
// which state the messages' bytes.
std::vector<StagingFailure> StagingFailures();
