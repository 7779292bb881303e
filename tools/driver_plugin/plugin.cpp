// The rendering plug-in of the printer description: an in-process COM server
// that the universal printer driver loads from the model's .ini file. The
// driver renders each page into 1-bit bands and hands them to
// ImageProcessing; the plug-in turns them into the printer's raster commands
// (raster_rows.h) and writes them through the driver's DrvWriteSpoolBuf. The
// description's start-of-job, start-of-page and end-of-job commands call back
// into the plug-in for the printer's reset, the page breaks, the cut and the
// cash drawer, as the job's printing preferences (preferences.h, read through
// DrvGetDriverSetting) ask. Methods the printer needs nothing from answer
// E_NOTIMPL. Built without the C++ runtime: objects live on the process heap.
#include <new>

#include "oem_interface.h"
#include "preferences.h"
#include "raster_rows.h"

#ifndef LUMATREK_PAPER_DOTS
#error "LUMATREK_PAPER_DOTS must name the printable width in dots"
#endif

namespace {

constexpr DWORD kSignature = 0x4B544D4C;  // "LMTK"
constexpr DWORD kVersion = 0x00010000;

LONG g_objects = 0;
LONG g_locks = 0;

template <typename T, typename... Args>
T* HeapNew(Args&... args) {
  void* block = HeapAlloc(GetProcessHeap(), 0, sizeof(T));
  return block != nullptr ? new (block) T(args...) : nullptr;
}

template <typename T>
void HeapDelete(T* object) {
  if (object == nullptr) return;
  object->~T();
  HeapFree(GetProcessHeap(), 0, object);
}

// The commands of one device context go to the driver's spool buffer.
class SpoolOutput final : public raster::CommandOutput {
 public:
  explicit SpoolOutput(oem::IPrintOemDriverUni* helper) : helper_(helper) {}
  void Use(oem::DEVOBJ* devobj) { devobj_ = devobj; }
  bool Write(const std::uint8_t* bytes, std::size_t size, std::size_t* taken) override {
    DWORD written = 0;
    const HRESULT hr =
        helper_->DrvWriteSpoolBuf(devobj_, const_cast<std::uint8_t*>(bytes), static_cast<DWORD>(size), &written);
    *taken = written < size ? written : size;
    return SUCCEEDED(hr);
  }
  // The driver sends these even though the job was cancelled.
  bool WriteAbort(const std::uint8_t* bytes, std::size_t size) override {
    return SUCCEEDED(
        helper_->DrvWriteAbortBuf(devobj_, const_cast<std::uint8_t*>(bytes), static_cast<DWORD>(size), 0));
  }

 private:
  oem::IPrintOemDriverUni* helper_;
  oem::DEVOBJ* devobj_ = nullptr;
};

// The plug-in's device data (DEVOBJ::pdevOEM).
struct Device {
  explicit Device(oem::IPrintOemDriverUni* helper) : output(helper), writer(output, LUMATREK_PAPER_DOTS) {}
  SpoolOutput output;
  raster::RasterWriter writer;
  ULONGLONG pageRows = 0;  // rows of the page handed over so far
};

Device* DeviceOf(oem::DEVOBJ* devobj) {
  if (devobj == nullptr || devobj->pdevOEM == nullptr) return nullptr;
  Device* device = static_cast<Device*>(devobj->pdevOEM);
  device->output.Use(devobj);
  return device;
}

bool SameName(const char* a, const char* b) {
  while (*a != '\0' && *a == *b) ++a, ++b;
  return *a == *b;
}

// The widest band taken: far beyond any roll, small enough that no size overflows.
constexpr LONG kMaxBandDots = 1 << 16;

// The bytes a row of the band takes, and its rows; false when the header is
// not a 1-bit band whose size adds up. At 1 bit a pixel the universal driver's
// palette is fixed (index 0 black), so the colour table is not read.
bool BandShape(const BITMAPINFOHEADER& header, DWORD* stride, DWORD* rows) {
  if (header.biSize < sizeof(BITMAPINFOHEADER) || header.biPlanes != 1 || header.biBitCount != 1 ||
      header.biCompression != BI_RGB || header.biWidth <= 0 || header.biWidth > kMaxBandDots ||
      header.biHeight == 0 || header.biHeight < -kMaxBandDots || header.biHeight > kMaxBandDots) {
    return false;
  }
  *stride = ((static_cast<DWORD>(header.biWidth) + 31) / 32) * 4;
  *rows = static_cast<DWORD>(header.biHeight < 0 ? -header.biHeight : header.biHeight);
  const ULONGLONG bytes = static_cast<ULONGLONG>(*stride) * *rows;
  return header.biSizeImage == 0 || header.biSizeImage >= bytes;
}

// The job's settings from the printing preferences; a feature the driver
// does not answer keeps its default.
raster::JobSettings ReadSettings(oem::IPrintOemDriverUni* helper, oem::DEVOBJ* devobj) {
  raster::JobSettings settings;
  for (const char* feature : prefs::kFeatures) {
    char option[64] = {};
    DWORD needed = 0, count = 0;
    if (SUCCEEDED(helper->DrvGetDriverSetting(devobj, feature, option, sizeof option - 1, &needed, &count)) &&
        count >= 1) {
      option[sizeof option - 1] = '\0';
      prefs::Apply(feature, option, &settings);
    }
  }
  return settings;
}

class Plugin final : public oem::IPrintOemUni {
 public:
  Plugin() { InterlockedIncrement(&g_objects); }
  ~Plugin() {
    if (helper_ != nullptr) helper_->Release();
    InterlockedDecrement(&g_objects);
  }

  STDMETHODIMP QueryInterface(REFIID iid, void** out) override {
    if (out == nullptr) return E_POINTER;
    if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, oem::IID_IPrintOemUni)) {
      *out = static_cast<oem::IPrintOemUni*>(this);
      AddRef();
      return S_OK;
    }
    *out = nullptr;
    return E_NOINTERFACE;
  }
  STDMETHODIMP_(ULONG) AddRef() override { return static_cast<ULONG>(InterlockedIncrement(&refs_)); }
  STDMETHODIMP_(ULONG) Release() override {
    const LONG left = InterlockedDecrement(&refs_);
    if (left == 0) HeapDelete(this);
    return static_cast<ULONG>(left);
  }

  STDMETHODIMP GetInfo(DWORD mode, void* buffer, DWORD size, DWORD* needed) override {
    if (needed == nullptr) {
      SetLastError(ERROR_INVALID_PARAMETER);
      return E_FAIL;
    }
    if (mode != oem::OEMGI_GETSIGNATURE && mode != oem::OEMGI_GETVERSION) {
      *needed = 0;
      SetLastError(ERROR_NOT_SUPPORTED);
      return E_FAIL;
    }
    *needed = sizeof(DWORD);
    if (buffer == nullptr || size < sizeof(DWORD)) {
      SetLastError(ERROR_INSUFFICIENT_BUFFER);
      return E_FAIL;
    }
    *static_cast<DWORD*>(buffer) = mode == oem::OEMGI_GETSIGNATURE ? kSignature : kVersion;
    return S_OK;
  }

  // The private part of the device mode is the header alone.
  STDMETHODIMP DevMode(DWORD mode, oem::OEMDMPARAM* param) override {
    if (param == nullptr) return E_FAIL;
    if (mode == oem::OEMDM_SIZE) {
      param->cbBufSize = sizeof(oem::OEM_DMEXTRAHEADER);
      return S_OK;
    }
    if (mode != oem::OEMDM_DEFAULT && mode != oem::OEMDM_CONVERT && mode != oem::OEMDM_MERGE) return E_FAIL;
    auto* out = static_cast<oem::OEM_DMEXTRAHEADER*>(param->pOEMDMOut);
    if (out == nullptr) return E_FAIL;
    *out = oem::OEM_DMEXTRAHEADER{sizeof(oem::OEM_DMEXTRAHEADER), kSignature, kVersion};
    return S_OK;
  }

  // S_OK, so that the driver calls DisableDriver in the end.
  STDMETHODIMP EnableDriver(DWORD, DWORD, oem::DRVENABLEDATA*) override { return S_OK; }
  STDMETHODIMP DisableDriver() override {
    if (helper_ != nullptr) helper_->Release();
    helper_ = nullptr;
    return S_OK;
  }

  STDMETHODIMP EnablePDEV(oem::DEVOBJ* devobj, wchar_t*, ULONG, oem::HSURF*, ULONG, oem::GDIINFO*, ULONG,
                          oem::DEVINFO*, oem::DRVENABLEDATA*, oem::PDEVOEM* devOem) override {
    if (devobj == nullptr || devOem == nullptr || helper_ == nullptr) return E_FAIL;
    *devOem = HeapNew<Device>(helper_);
    if (*devOem == nullptr) {
      SetLastError(ERROR_NOT_ENOUGH_MEMORY);
      return E_FAIL;
    }
    return S_OK;
  }
  STDMETHODIMP DisablePDEV(oem::DEVOBJ* devobj) override {
    if (devobj == nullptr) return E_FAIL;
    HeapDelete(static_cast<Device*>(devobj->pdevOEM));
    devobj->pdevOEM = nullptr;
    return S_OK;
  }
  // A reset (ResetDC) comes between pages: the new device context goes on with the job.
  STDMETHODIMP ResetPDEV(oem::DEVOBJ* oldDevobj, oem::DEVOBJ* newDevobj) override {
    const Device* from = oldDevobj != nullptr ? static_cast<const Device*>(oldDevobj->pdevOEM) : nullptr;
    Device* to = newDevobj != nullptr ? static_cast<Device*>(newDevobj->pdevOEM) : nullptr;
    if (from == nullptr || to == nullptr) return E_FAIL;
    to->writer.TakeJobFrom(from->writer);
    to->pageRows = from->pageRows;
    return S_OK;
  }

  STDMETHODIMP PublishDriverInterface(IUnknown* driver) override {
    if (helper_ != nullptr) return S_OK;
    if (driver == nullptr) return E_FAIL;
    void* helper = nullptr;
    if (FAILED(driver->QueryInterface(oem::IID_IPrintOemDriverUni, &helper)) || helper == nullptr) return E_FAIL;
    helper_ = static_cast<oem::IPrintOemDriverUni*>(helper);
    return S_OK;
  }

  STDMETHODIMP GetImplementedMethod(char* name) override {
    if (name == nullptr) return S_FALSE;
    return SameName(name, "ImageProcessing") || SameName(name, "CommandCallback") ? S_OK : S_FALSE;
  }

  STDMETHODIMP DriverDMS(void*, void*, DWORD, DWORD*) override { return E_NOTIMPL; }

  STDMETHODIMP CommandCallback(oem::DEVOBJ* devobj, DWORD id, DWORD, DWORD*, INT* result) override {
    Device* device = DeviceOf(devobj);
    if (device == nullptr || result == nullptr) return E_FAIL;
    *result = 0;
    bool written = false;
    if (id == oem::kCallbackStartJob) {
      device->writer.Configure(ReadSettings(helper_, devobj));
      written = device->writer.StartJob();
    } else if (id == oem::kCallbackStartPage) {
      device->writer.StartPage();
      device->pageRows = 0;
      written = !device->writer.Failed();
    } else if (id == oem::kCallbackEndJob) {
      written = device->writer.EndJob();
    }
    return written ? S_OK : E_FAIL;
  }

  // Sends the band to the printer itself: *ppbResult is TRUE when it went out.
  // The band's place on the page is ptOffset; rows the driver skipped above it are blank.
  STDMETHODIMP ImageProcessing(oem::DEVOBJ* devobj, BYTE* bits, BITMAPINFOHEADER* header, BYTE*, DWORD,
                               oem::IPPARAMS* params, BYTE** result) override {
    if (result == nullptr) return E_FAIL;
    *result = nullptr;
    Device* device = DeviceOf(devobj);
    DWORD stride = 0, rows = 0;
    if (device == nullptr || header == nullptr || params == nullptr || !BandShape(*header, &stride, &rows)) {
      return E_FAIL;
    }
    const bool blank = params->bBlankBand != FALSE;
    if ((!blank && bits == nullptr) || params->ptOffset.x < 0 || params->ptOffset.y < 0 ||
        params->ptOffset.x > kMaxBandDots || device->writer.Failed()) {
      return E_FAIL;
    }
    const ULONGLONG top = static_cast<ULONGLONG>(params->ptOffset.y);
    if (top > device->pageRows) device->writer.AddBlankRows(static_cast<std::uint32_t>(top - device->pageRows));
    device->pageRows = (top > device->pageRows ? top : device->pageRows) + rows;
    if (blank) {
      device->writer.AddBlankRows(rows);
    } else {
      raster::Band band{bits, stride, static_cast<std::uint32_t>(header->biWidth), rows, false};
      band.left = static_cast<std::uint32_t>(params->ptOffset.x);
      if (!device->writer.AddBand(band)) return E_FAIL;
    }
    *result = reinterpret_cast<BYTE*>(static_cast<INT_PTR>(TRUE));
    return S_OK;
  }

  STDMETHODIMP FilterGraphics(oem::DEVOBJ*, BYTE*, DWORD) override { return E_NOTIMPL; }
  STDMETHODIMP Compression(oem::DEVOBJ*, BYTE*, BYTE*, DWORD, DWORD, INT*) override { return E_NOTIMPL; }
  STDMETHODIMP HalftonePattern(oem::DEVOBJ*, BYTE*, DWORD, DWORD, DWORD, DWORD, BYTE*, DWORD) override {
    return E_NOTIMPL;
  }
  STDMETHODIMP MemoryUsage(oem::DEVOBJ*, oem::OEMMEMORYUSAGE*) override { return E_NOTIMPL; }
  STDMETHODIMP TTYGetInfo(oem::DEVOBJ*, DWORD, void*, DWORD, DWORD*) override { return E_NOTIMPL; }
  STDMETHODIMP DownloadFontHeader(oem::DEVOBJ*, oem::UNIFONTOBJ*, DWORD*) override { return E_NOTIMPL; }
  STDMETHODIMP DownloadCharGlyph(oem::DEVOBJ*, oem::UNIFONTOBJ*, oem::HGLYPH, DWORD*, DWORD*) override {
    return E_NOTIMPL;
  }
  STDMETHODIMP TTDownloadMethod(oem::DEVOBJ*, oem::UNIFONTOBJ*, DWORD*) override { return E_NOTIMPL; }
  STDMETHODIMP OutputCharStr(oem::DEVOBJ*, oem::UNIFONTOBJ*, DWORD, DWORD, void*) override { return E_NOTIMPL; }
  STDMETHODIMP SendFontCmd(oem::DEVOBJ*, oem::UNIFONTOBJ*, oem::FINVOCATION*) override { return E_NOTIMPL; }
  STDMETHODIMP TextOutAsBitmap(oem::SURFOBJ*, oem::STROBJ*, oem::FONTOBJ*, oem::CLIPOBJ*, RECTL*, RECTL*,
                               oem::BRUSHOBJ*, oem::BRUSHOBJ*, POINTL*, oem::MIX) override {
    return E_NOTIMPL;
  }

 private:
  LONG refs_ = 1;
  oem::IPrintOemDriverUni* helper_ = nullptr;
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
    Plugin* object = HeapNew<Plugin>();
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
  if (!IsEqualCLSID(clsid, oem::CLSID_OEMRENDER)) return CLASS_E_CLASSNOTAVAILABLE;
  return g_factory.QueryInterface(iid, out);
}

extern "C" HRESULT STDAPICALLTYPE DllCanUnloadNow() { return g_objects == 0 && g_locks == 0 ? S_OK : S_FALSE; }

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, void*) {
  if (reason == DLL_PROCESS_ATTACH) DisableThreadLibraryCalls(instance);
  return TRUE;
}
