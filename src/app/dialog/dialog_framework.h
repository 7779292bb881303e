// A small dialog framework in the style of ATL/WTL: a module object that
// holds the instance, a window wrapper, a modal dialog base with a message map.
#pragma once
#include <windows.h>

class CAppModule {
 public:
  HRESULT Init(void* /*objectMap*/, HINSTANCE instance) {
    instance_ = instance;
    return S_OK;
  }
  void Term() { instance_ = nullptr; }
  HINSTANCE GetModuleInstance() const { return instance_; }
  HINSTANCE GetResourceInstance() const { return instance_; }

 private:
  HINSTANCE instance_ = nullptr;
};

extern CAppModule _Module;

// Holds one window handle; null until attached.
class CWindow {
 public:
  explicit CWindow(HWND hWnd = nullptr) : m_hWnd(hWnd) {}
  CWindow& operator=(HWND hWnd) {
    m_hWnd = hWnd;
    return *this;
  }
  operator HWND() const { return m_hWnd; }

  HWND GetDlgItem(int id) const { return ::GetDlgItem(m_hWnd, id); }
  BOOL EnableWindow(BOOL enable) { return ::EnableWindow(m_hWnd, enable); }
  BOOL SetWindowTextA(const char* text) { return ::SetWindowTextA(m_hWnd, text); }
  LRESULT SendMessageA(UINT msg, WPARAM wParam = 0, LPARAM lParam = 0) const {
    return ::SendMessageA(m_hWnd, msg, wParam, lParam);
  }

  HWND m_hWnd;
};

// Message map in the usual style. Handlers have the ATL signatures.
#define BEGIN_MSG_MAP(theClass)                                                               \
 public:                                                                                      \
  BOOL ProcessWindowMessage(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam, LRESULT& lResult) { \
    BOOL bHandled = TRUE;                                                                     \
    (void)hWnd;

#define MESSAGE_HANDLER(msg, func)                       \
  if (uMsg == (msg)) {                                   \
    bHandled = TRUE;                                     \
    lResult = func(uMsg, wParam, lParam, bHandled);      \
    if (bHandled) return TRUE;                           \
  }

#define COMMAND_ID_HANDLER(id, func)                                                     \
  if (uMsg == WM_COMMAND && LOWORD(wParam) == (id)) {                                    \
    bHandled = TRUE;                                                                     \
    lResult = func(HIWORD(wParam), LOWORD(wParam), reinterpret_cast<HWND>(lParam), bHandled); \
    if (bHandled) return TRUE;                                                           \
  }

#define COMMAND_HANDLER(id, code, func)                                                  \
  if (uMsg == WM_COMMAND && LOWORD(wParam) == (id) && HIWORD(wParam) == (code)) {        \
    bHandled = TRUE;                                                                     \
    lResult = func(HIWORD(wParam), LOWORD(wParam), reinterpret_cast<HWND>(lParam), bHandled); \
    if (bHandled) return TRUE;                                                           \
  }

#define END_MSG_MAP() \
  return FALSE;       \
  }

// Modal dialog from template T::IDD. The object is tied to its window on the
// first message the dialog receives, so the init parameter stays free (0).
template <class T>
class CDialogImpl : public CWindow {
 public:
  INT_PTR DoModal(HWND owner, LPARAM initParam = 0) {
    creating() = this;
    const INT_PTR result = ::DialogBoxParamA(_Module.GetResourceInstance(),
                                             MAKEINTRESOURCEA(T::IDD), owner, DialogProc, initParam);
    creating() = nullptr;
    return result;
  }
  BOOL EndDialog(int result) { return ::EndDialog(m_hWnd, result); }

 private:
  static CDialogImpl*& creating() {
    static thread_local CDialogImpl* pending = nullptr;
    return pending;
  }

  static INT_PTR CALLBACK DialogProc(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam) {
    auto* self = reinterpret_cast<CDialogImpl*>(::GetWindowLongPtrA(hWnd, DWLP_USER));
    if (self == nullptr) {
      self = creating();
      if (self == nullptr) return FALSE;
      creating() = nullptr;
      self->m_hWnd = hWnd;
      ::SetWindowLongPtrA(hWnd, DWLP_USER, reinterpret_cast<LONG_PTR>(self));
    }
    LRESULT lResult = 0;
    if (!static_cast<T*>(self)->ProcessWindowMessage(hWnd, uMsg, wParam, lParam, lResult)) return FALSE;
    if (uMsg == WM_INITDIALOG) return static_cast<INT_PTR>(lResult);  // answered directly
    ::SetWindowLongPtrA(hWnd, DWLP_MSGRESULT, lResult);
    return TRUE;
  }
};
