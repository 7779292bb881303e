// The "USB Port:" drop-down list as the port list fill and the USB test
// command see it: a sorted list of names with one selection.
#pragma once
#include <string>

class PortListControl {
 public:
  virtual ~PortListControl() = default;
  virtual void ResetContent() = 0;                       // CB_RESETCONTENT
  virtual void AddString(const char* name) = 0;          // CB_ADDSTRING (sorted into place)
  virtual void SetCurSel(int index) = 0;                 // CB_SETCURSEL
  virtual int GetCount() const = 0;                      // CB_GETCOUNT
  // CB_GETLBTEXT into a caller's buffer of `size` bytes; a text that does not
  // fit (with its NUL) leaves the buffer empty.
  virtual void GetLBText(int index, char* buffer, int size) const = 0;
  virtual void SelectString(const char* text) = 0;       // CB_SELECTSTRING from the top (-1)
};
