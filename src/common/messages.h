// Message-box reporting for the command handlers. The dialog shows each
// message in a box owned by itself (MB_OK, no icon); unit tests record them.
#pragma once
#include <string>

// Captions of every message box the program shows.
inline constexpr const char kCaptionError[] = "错误";   // failures
inline constexpr const char kCaptionNotice[] = "提示";  // successes

// Shared by the commands that allocate a buffer of their own.
inline constexpr const char kMsgAllocFailed[] = "申请内存失败";

class MessageSink {
 public:
  virtual ~MessageSink() = default;
  // Shows `text` under `caption` and returns once the user has dismissed it.
  virtual void Show(const std::string& text, const char* caption) = 0;
  // Reports one step of a command and how it went ("staged", the payload
  // folder). The dialog shows no steps; the unattended mode logs them.
  virtual void Step(const char* step, const std::string& result) {
    (void)step;
    (void)result;
  }
  void Error(const std::string& text) { Show(text, kCaptionError); }
  void Notice(const std::string& text) { Show(text, kCaptionNotice); }
};
