// The failing steps of the sample staging that both test commands share, each
// with the one message it shows, as a table for TEST_P suites.
#pragma once
#include <functional>
#include <string>
#include <vector>

#include "fake_os/fake_files.h"
#include "support/recording_sink.h"
#include "support/sample_picture.h"

struct StagingFailure {
  const char* what;
  std::string resource;  // the sample resource 208; none when empty
  std::function<void()> arrange;
  ShownMessage message;
};

inline std::vector<StagingFailure> StagingFailures() {
  const char kError[] = "\xB4\xED\xCE\xF3";  // 错误
  // 创建测试资源解压目录失败
  const ShownMessage folderFailed{
      "\xB4\xB4\xBD\xA8\xB2\xE2\xCA\xD4\xD7\xCA\xD4\xB4\xBD\xE2\xD1\xB9\xC4\xBF\xC2\xBC\xCA\xA7\xB0\xDC", kError};
  // 导出测试资源失败
  const ShownMessage exportFailed{"\xB5\xBC\xB3\xF6\xB2\xE2\xCA\xD4\xD7\xCA\xD4\xB4\xCA\xA7\xB0\xDC", kError};
  // 解压测试资源失败
  const ShownMessage extractFailed{"\xBD\xE2\xD1\xB9\xB2\xE2\xCA\xD4\xD7\xCA\xD4\xB4\xCA\xA7\xB0\xDC", kError};
  const std::string archive = sample_picture::Archive();
  return {
      {"a file where the working folder belongs", archive,
       [] { fake::files().AddFile("C:\\ProgramData\\Tovlan", "in the way"); }, folderFailed},
      {"no sample resource", "", [] {}, exportFailed},
      {"a full disk", archive, [] { fake::files().SetFreeSpace(1000); }, exportFailed},
      {"a resource that is no archive", std::string(5000, 'x'), [] {}, extractFailed},
  };
}
