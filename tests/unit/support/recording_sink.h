// Records every message box a command shows, in order.
#pragma once
#include <string>
#include <vector>

#include "common/messages.h"

struct ShownMessage {
  std::string text;
  std::string caption;
  bool operator==(const ShownMessage& o) const { return text == o.text && caption == o.caption; }
};

class RecordingSink : public MessageSink {
 public:
  void Show(const std::string& text, const char* caption) override {
    shown.push_back({text, caption});
  }
  void Step(const char* step, const std::string& result) override { steps.push_back(std::string(step) + ": " + result); }
  std::vector<ShownMessage> shown;
  std::vector<std::string> steps;
};
