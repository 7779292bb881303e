// The rendering plug-in of the printer description: an in-process COM server
// that the universal printer driver loads from the model's .ini file. The
// printer needs nothing beyond what the description itself says, so the
// plug-in's object answers IUnknown only and adds no behaviour of its own;
// it is here so that the package carries its plug-in slot, built by us, for
// both 32-bit and 64-bit systems.
#include <windows.h>
#include <unknwn.h>

#include <new>

namespace {

// The class id under which the universal driver asks for a rendering plug-in.
const CLSID kRenderPlugin = {0x6d6abf26, 0x9f38, 0x11d1, {0x88, 0x2a, 0x00, 0xc0, 0x4f, 0xb9, 0x61, 0xec}};

LONG g_objects = 0;
LONG g_locks = 0;

// Objects live on the process heap, so the plug-in needs no C++ runtime.
class PassThrough final : public IUnknown {
 public:
  static PassThrough* Create() {
    void* block = HeapAlloc(GetProcessHeap(), 0, sizeof(PassThrough));
    return block != nullptr ? new (block) PassThrough() : nullptr;
  }
  STDMETHODIMP QueryInterface(REFIID iid, void** out) override {
    if (out == nullptr) return E_POINTER;
    if (IsEqualIID(iid, IID_IUnknown)) {
      *out = static_cast<IUnknown*>(this);
      AddRef();
      return S_OK;
    }
    *out = nullptr;
    return E_NOINTERFACE;
  }
  STDMETHODIMP_(ULONG) AddRef() override { return static_cast<ULONG>(InterlockedIncrement(&refs_)); }
  STDMETHODIMP_(ULONG) Release() override {
    const LONG left = InterlockedDecrement(&refs_);
    if (left == 0) {
      this->~PassThrough();
      HeapFree(GetProcessHeap(), 0, this);
      InterlockedDecrement(&g_objects);
    }
    return static_cast<ULONG>(left);
  }

 private:
  PassThrough() { InterlockedIncrement(&g_objects); }
  ~PassThrough() = default;
  LONG refs_ = 1;
};

class Factory : public IClassFactory {
 public:
  STDMETHODIMP QueryInterface(REFIID iid, void** out) override {
    if (out == nullptr) return E_POINTER;
    if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IClassFactory)) {
      *out = static_cast<IClassFactory*>(this);
      AddRef();
      return S_OK;
    }
    *out = nullptr;
    return E_NOINTERFACE;
  }
  // One static factory: its count only keeps the module loaded.
  STDMETHODIMP_(ULONG) AddRef() override { return static_cast<ULONG>(InterlockedIncrement(&g_locks)); }
  STDMETHODIMP_(ULONG) Release() override { return static_cast<ULONG>(InterlockedDecrement(&g_locks)); }
  STDMETHODIMP CreateInstance(IUnknown* outer, REFIID iid, void** out) override {
    if (out == nullptr) return E_POINTER;
    *out = nullptr;
    if (outer != nullptr) return CLASS_E_NOAGGREGATION;
    PassThrough* object = PassThrough::Create();
    if (object == nullptr) return E_OUTOFMEMORY;
    const HRESULT hr = object->QueryInterface(iid, out);
    object->Release();
    return hr;
  }
  STDMETHODIMP LockServer(BOOL lock) override {
    if (lock) {
      InterlockedIncrement(&g_locks);
    } else {
      InterlockedDecrement(&g_locks);
    }
    return S_OK;
  }
};

Factory g_factory;

}  // namespace

extern "C" HRESULT STDAPICALLTYPE DllGetClassObject(REFCLSID clsid, REFIID iid, void** out) {
  if (out == nullptr) return E_POINTER;
  *out = nullptr;
  if (!IsEqualCLSID(clsid, kRenderPlugin)) return CLASS_E_CLASSNOTAVAILABLE;
  return g_factory.QueryInterface(iid, out);
}

extern "C" HRESULT STDAPICALLTYPE DllCanUnloadNow() { return g_objects == 0 && g_locks == 0 ? S_OK : S_FALSE; }

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, void*) {
  if (reason == DLL_PROCESS_ATTACH) DisableThreadLibraryCalls(instance);
  return TRUE;
}
