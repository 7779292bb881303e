// A drop-down list with CBS_SORT behaviour: names are kept in case-insensitive
// order, the selection is an index or -1.
#pragma once
#include <algorithm>
#include <cstring>
#include <string>
#include <strings.h>
#include <vector>

#include "common/port_list_control.h"

class FakePortList : public PortListControl {
 public:
  void ResetContent() override {
    items.clear();
    selection = -1;
  }
  void AddString(const char* name) override {
    auto at = std::upper_bound(items.begin(), items.end(), std::string(name),
                               [](const std::string& a, const std::string& b) {
                                 return strcasecmp(a.c_str(), b.c_str()) < 0;
                               });
    items.insert(at, name);
  }
  void SetCurSel(int index) override {
    selection = (index >= 0 && index < static_cast<int>(items.size())) ? index : -1;
  }
  int GetCount() const override { return static_cast<int>(items.size()); }
  void GetLBText(int index, char* buffer, int size) const override {
    // As the dialog's list does: a text that does not fit is not copied at all.
    if (size <= 0) return;
    buffer[0] = '\0';
    const std::string& s = items.at(static_cast<size_t>(index));
    if (s.size() < static_cast<size_t>(size)) std::snprintf(buffer, static_cast<size_t>(size), "%s", s.c_str());
  }
  void SelectString(const char* text) override {
    for (size_t i = 0; i < items.size(); ++i) {
      if (strncasecmp(items[i].c_str(), text, std::strlen(text)) == 0) {
        selection = static_cast<int>(i);
        return;
      }
    }
  }
  std::string SelectedText() const { return selection < 0 ? "" : items[static_cast<size_t>(selection)]; }

  std::vector<std::string> items;
  int selection = -1;
};
