// Drives a rendering plug-in DLL of the driver package the way the universal
// printer driver does, with a helper of our own that records what the plug-in
// writes to the spool buffer:
//   plugin_harness DLL WIDTH SAMPLE.BMP OUT.BIN REFERENCE.PGM
// It loads the DLL, asks the class object for the plug-in, publishes the
// helper, asks GetInfo (also with a short buffer), GetImplementedMethod and
// DevMode, enables a device, draws a page of WIDTH dots (text and the sample
// picture) into a 1-bit bitmap and hands it over in bands, ends the job,
// disables the device and the driver, and checks that every method the
// plug-in leaves out answers E_NOTIMPL. Then it unloads the DLL once
// DllCanUnloadNow allows it and loads it again. The spool bytes go to OUT.BIN;
// the page down to its last printed row goes to REFERENCE.PGM (8-bit grey,
// 0 for a dot), which is what the printer must show. Every check is printed;
// the exit code is the number of failed checks.
#include <windows.h>

#include <cstdio>
#include <cwchar>
#include <string>
#include <vector>

#include "oem_interface.h"

namespace {

int g_failures = 0;

void Check(bool ok, const char* what) {
  std::printf("%s %s\n", ok ? "ok  " : "FAIL", what);
  if (!ok) ++g_failures;
}

// The driver's helper: records DrvWriteSpoolBuf, answers nothing else.
class RecordingDriver final : public oem::IPrintOemDriverUni {
 public:
  STDMETHODIMP QueryInterface(REFIID iid, void** out) override {
    if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, oem::IID_IPrintOemDriverUni)) {
      *out = static_cast<oem::IPrintOemDriverUni*>(this);
      AddRef();
      return S_OK;
    }
    *out = nullptr;
    return E_NOINTERFACE;
  }
  STDMETHODIMP_(ULONG) AddRef() override { return static_cast<ULONG>(++refs); }
  STDMETHODIMP_(ULONG) Release() override { return static_cast<ULONG>(--refs); }
  STDMETHODIMP DrvGetDriverSetting(void*, const char*, void*, DWORD, DWORD*, DWORD*) override { return E_NOTIMPL; }
  STDMETHODIMP DrvWriteSpoolBuf(oem::DEVOBJ* devobj, void* buffer, DWORD size, DWORD* written) override {
    if (devobj != expected || buffer == nullptr || written == nullptr) {
      ++badWrites;
      return E_FAIL;
    }
    spool.append(static_cast<const char*>(buffer), size);
    *written = size;
    ++writes;
    return S_OK;
  }
  STDMETHODIMP DrvXMoveTo(oem::DEVOBJ*, INT, DWORD, INT*) override { return E_NOTIMPL; }
  STDMETHODIMP DrvYMoveTo(oem::DEVOBJ*, INT, DWORD, INT*) override { return E_NOTIMPL; }
  STDMETHODIMP DrvGetStandardVariable(oem::DEVOBJ*, DWORD, void*, DWORD, DWORD*) override { return E_NOTIMPL; }
  STDMETHODIMP DrvGetGPDData(oem::DEVOBJ*, DWORD, void*, void*, DWORD, DWORD*) override { return E_NOTIMPL; }
  STDMETHODIMP DrvUniTextOut(oem::SURFOBJ*, oem::STROBJ*, oem::FONTOBJ*, oem::CLIPOBJ*, RECTL*, RECTL*,
                             oem::BRUSHOBJ*, oem::BRUSHOBJ*, POINTL*, oem::MIX) override {
    return E_NOTIMPL;
  }
  STDMETHODIMP DrvWriteAbortBuf(oem::DEVOBJ*, void*, DWORD, DWORD) override { return E_NOTIMPL; }

  long refs = 1;
  oem::DEVOBJ* expected = nullptr;
  std::string spool;
  int writes = 0;
  int badWrites = 0;
};

// A white page of `width` x `height` dots in unidrv's 1-bit form (index 0
// black, 1 white, rows top down), with text and the sample picture on it.
struct Page {
  int width = 0;
  int height = 0;
  int stride = 0;
  std::vector<BYTE> bits;
  bool Dot(int x, int y) const { return (bits[y * stride + x / 8] & (0x80 >> (x % 8))) == 0; }
  bool RowBlank(int y) const {
    for (int x = 0; x < width; ++x) {
      if (Dot(x, y)) return false;
    }
    return true;
  }
};

struct MonoInfo {
  BITMAPINFOHEADER header;
  RGBQUAD colors[2];
};

MonoInfo MonoHeader(int width, int height) {
  MonoInfo info{};
  info.header.biSize = sizeof(BITMAPINFOHEADER);
  info.header.biWidth = width;
  info.header.biHeight = height;
  info.header.biPlanes = 1;
  info.header.biBitCount = 1;
  info.header.biCompression = BI_RGB;
  info.colors[1] = RGBQUAD{255, 255, 255, 0};
  return info;
}

bool DrawPage(int width, const wchar_t* samplePath, Page* page) {
  HBITMAP sample = static_cast<HBITMAP>(LoadImageW(nullptr, samplePath, IMAGE_BITMAP, 0, 0,
                                                   LR_LOADFROMFILE | LR_CREATEDIBSECTION));
  if (sample == nullptr) return false;
  BITMAP sampleInfo{};
  GetObjectW(sample, sizeof sampleInfo, &sampleInfo);
  const int pictureWidth = sampleInfo.bmWidth < width ? sampleInfo.bmWidth : width;
  const int pictureHeight = sampleInfo.bmHeight * pictureWidth / sampleInfo.bmWidth;
  // Blank rows above the text, a gap of more than 255 rows before the last
  // line, and blank rows to the page's end.
  const int pictureTop = 110;
  const int lastLine = pictureTop + pictureHeight + 300;
  page->width = width;
  page->height = lastLine + 40 + 200;
  page->stride = ((width + 31) / 32) * 4;

  MonoInfo info = MonoHeader(width, -page->height);
  void* bits = nullptr;
  HDC dc = CreateCompatibleDC(nullptr);
  HBITMAP surface = CreateDIBSection(dc, reinterpret_cast<BITMAPINFO*>(&info), DIB_RGB_COLORS, &bits, nullptr, 0);
  if (surface == nullptr) {
    DeleteDC(dc);
    DeleteObject(sample);
    return false;
  }
  HGDIOBJ oldSurface = SelectObject(dc, surface);
  PatBlt(dc, 0, 0, width, page->height, WHITENESS);
  HFONT font = CreateFontW(-28, 0, 0, 0, FW_BOLD, FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                           CLIP_DEFAULT_PRECIS, NONANTIALIASED_QUALITY, DEFAULT_PITCH, L"Tahoma");
  HGDIOBJ oldFont = SelectObject(dc, font);
  SetTextColor(dc, RGB(0, 0, 0));
  SetBkMode(dc, TRANSPARENT);
  TextOutW(dc, 8, 20, L"Lumatrek plug-in", 16);
  wchar_t line[64];
  const int n = swprintf(line, 64, L"%d dots, GS v 0", width);
  TextOutW(dc, 8, 60, line, n);
  TextOutW(dc, 8, lastLine, L"-- end of page --", 17);
  HDC sampleDc = CreateCompatibleDC(dc);
  HGDIOBJ oldSample = SelectObject(sampleDc, sample);
  // Upside down, as the test page prints it: the picture's rows in the file's order, first row on top.
  SetStretchBltMode(dc, HALFTONE);
  StretchBlt(dc, (width - pictureWidth) / 2, pictureTop + pictureHeight - 1, pictureWidth, -pictureHeight, sampleDc,
             0, 0, sampleInfo.bmWidth, sampleInfo.bmHeight, SRCCOPY);
  GdiFlush();
  page->bits.assign(static_cast<const BYTE*>(bits), static_cast<const BYTE*>(bits) + page->stride * page->height);
  SelectObject(sampleDc, oldSample);
  DeleteDC(sampleDc);
  SelectObject(dc, oldFont);
  DeleteObject(font);
  SelectObject(dc, oldSurface);
  DeleteObject(surface);
  DeleteDC(dc);
  DeleteObject(sample);
  return true;
}

bool WriteFile(const wchar_t* path, const std::string& bytes) {
  FILE* f = _wfopen(path, L"wb");
  if (f == nullptr) return false;
  const bool ok = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
  return std::fclose(f) == 0 && ok;
}

// The page down to its last printed row, one grey byte a dot.
std::string Reference(const Page& page) {
  int last = page.height - 1;
  while (last >= 0 && page.RowBlank(last)) --last;
  std::string out = "P5\n" + std::to_string(page.width) + " " + std::to_string(last + 1) + "\n255\n";
  for (int y = 0; y <= last; ++y) {
    for (int x = 0; x < page.width; ++x) out += page.Dot(x, y) ? '\0' : '\xFF';
  }
  return out;
}

using GetClassObject = HRESULT(STDAPICALLTYPE*)(REFCLSID, REFIID, void**);
using CanUnloadNow = HRESULT(STDAPICALLTYPE*)();

oem::IPrintOemUni* CreatePlugin(HMODULE dll) {
  auto getClassObject = reinterpret_cast<GetClassObject>(reinterpret_cast<void*>(GetProcAddress(dll, "DllGetClassObject")));
  if (getClassObject == nullptr) return nullptr;
  IClassFactory* factory = nullptr;
  if (FAILED(getClassObject(oem::CLSID_OEMRENDER, IID_IClassFactory, reinterpret_cast<void**>(&factory)))) {
    return nullptr;
  }
  IUnknown* object = nullptr;
  const HRESULT created = factory->CreateInstance(nullptr, IID_IUnknown, reinterpret_cast<void**>(&object));
  factory->Release();
  if (FAILED(created)) return nullptr;
  oem::IPrintOemUni* plugin = nullptr;
  object->QueryInterface(oem::IID_IPrintOemUni, reinterpret_cast<void**>(&plugin));
  object->Release();
  return plugin;
}

void CheckLeftOutMethods(oem::IPrintOemUni* plugin, oem::DEVOBJ* devobj) {
  INT result = 0;
  DWORD value = 0;
  BYTE buffer[16] = {};
  const struct {
    const char* name;
    HRESULT hr;
  } calls[] = {
      {"EnableDriver", plugin->EnableDriver(oem::PRINTER_OEMINTF_VERSION, 0, nullptr)},
      {"DriverDMS", plugin->DriverDMS(devobj, buffer, sizeof buffer, &value)},
      {"FilterGraphics", plugin->FilterGraphics(devobj, buffer, sizeof buffer)},
      {"Compression", plugin->Compression(devobj, buffer, buffer, 8, 8, &result)},
      {"HalftonePattern", plugin->HalftonePattern(devobj, buffer, 4, 4, 1, 1, nullptr, 0)},
      {"MemoryUsage", plugin->MemoryUsage(devobj, nullptr)},
      {"TTYGetInfo", plugin->TTYGetInfo(devobj, 1, buffer, sizeof buffer, &value)},
      {"DownloadFontHeader", plugin->DownloadFontHeader(devobj, nullptr, &value)},
      {"DownloadCharGlyph", plugin->DownloadCharGlyph(devobj, nullptr, 0, &value, &value)},
      {"TTDownloadMethod", plugin->TTDownloadMethod(devobj, nullptr, &value)},
      {"OutputCharStr", plugin->OutputCharStr(devobj, nullptr, 1, 0, nullptr)},
      {"SendFontCmd", plugin->SendFontCmd(devobj, nullptr, nullptr)},
      {"TextOutAsBitmap",
       plugin->TextOutAsBitmap(nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, 0)},
  };
  for (const auto& call : calls) Check(call.hr == E_NOTIMPL, (std::string(call.name) + " answers E_NOTIMPL").c_str());
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc != 6) {
    std::fprintf(stderr, "usage: plugin_harness DLL WIDTH SAMPLE.BMP OUT.BIN REFERENCE.PGM\n");
    return 100;
  }
  const int width = _wtoi(argv[2]);
  Page page;
  if (width <= 0 || !DrawPage(width, argv[3], &page)) {
    std::fprintf(stderr, "could not draw the page\n");
    return 100;
  }
  HMODULE dll = LoadLibraryW(argv[1]);
  Check(dll != nullptr, "the plug-in DLL loads");
  if (dll == nullptr) return g_failures;
  auto canUnloadNow = reinterpret_cast<CanUnloadNow>(reinterpret_cast<void*>(GetProcAddress(dll, "DllCanUnloadNow")));
  oem::IPrintOemUni* plugin = CreatePlugin(dll);
  Check(plugin != nullptr, "the class object makes a plug-in that answers IPrintOemUni");
  if (plugin == nullptr) return g_failures;
  Check(canUnloadNow != nullptr && canUnloadNow() == S_FALSE, "DllCanUnloadNow refuses while the plug-in lives");

  RecordingDriver driver;
  Check(plugin->PublishDriverInterface(&driver) == S_OK && driver.refs == 2, "PublishDriverInterface keeps the helper");

  DWORD signature = 0, info = 0, needed = 0;
  Check(plugin->GetInfo(oem::OEMGI_GETSIGNATURE, &signature, sizeof signature, &needed) == S_OK && needed == 4 &&
            signature != 0,
        "GetInfo answers the signature");
  Check(plugin->GetInfo(oem::OEMGI_GETVERSION, &info, sizeof info, &needed) == S_OK && needed == 4,
        "GetInfo answers the version");
  SetLastError(0);
  needed = 0;
  Check(plugin->GetInfo(oem::OEMGI_GETSIGNATURE, &info, 2, &needed) == E_FAIL && needed == 4 &&
            GetLastError() == ERROR_INSUFFICIENT_BUFFER,
        "GetInfo with a short buffer fails and asks for 4 bytes");
  char imageProcessing[] = "ImageProcessing", commandCallback[] = "CommandCallback", filter[] = "FilterGraphics";
  Check(plugin->GetImplementedMethod(imageProcessing) == S_OK && plugin->GetImplementedMethod(commandCallback) == S_OK &&
            plugin->GetImplementedMethod(filter) == S_FALSE,
        "GetImplementedMethod names ImageProcessing and CommandCallback only");

  oem::OEMDMPARAM dm{};
  dm.cbSize = sizeof dm;
  oem::OEM_DMEXTRAHEADER extra{};
  Check(plugin->DevMode(oem::OEMDM_SIZE, &dm) == S_OK && dm.cbBufSize == sizeof extra, "DevMode sizes its part");
  dm.pOEMDMOut = &extra;
  Check(plugin->DevMode(oem::OEMDM_DEFAULT, &dm) == S_OK && extra.dwSize == sizeof extra && extra.dwSignature == signature,
        "DevMode writes its default part");

  oem::DEVOBJ devobj{};
  devobj.dwSize = sizeof devobj;
  driver.expected = &devobj;
  wchar_t printerName[] = L"lumatrek";
  oem::PDEVOEM device = nullptr;
  Check(plugin->EnablePDEV(&devobj, printerName, 0, nullptr, 0, nullptr, 0, nullptr, nullptr, &device) == S_OK &&
            device != nullptr,
        "EnablePDEV makes the device data");
  devobj.pdevOEM = device;
  INT result = -1;
  Check(plugin->CommandCallback(&devobj, oem::kCallbackStartJob, 0, nullptr, &result) == S_OK,
        "the start-of-job callback");

  // The page in bands of 128 rows, blank bands flagged as unidrv does.
  MonoInfo band = MonoHeader(width, 0);
  bool bandsTaken = true;
  int blankBands = 0;
  for (int top = 0; top < page.height; top += 128) {
    const int rows = page.height - top < 128 ? page.height - top : 128;
    band.header.biHeight = rows;
    band.header.biSizeImage = static_cast<DWORD>(page.stride * rows);
    oem::IPPARAMS params{};
    params.dwSize = sizeof params;
    params.ptOffset = POINT{0, top};
    params.bBanding = TRUE;
    params.bBlankBand = TRUE;
    for (int y = top; y < top + rows && params.bBlankBand; ++y) params.bBlankBand = page.RowBlank(y);
    blankBands += params.bBlankBand ? 1 : 0;
    BYTE* sent = nullptr;
    const HRESULT hr =
        plugin->ImageProcessing(&devobj, page.bits.data() + top * page.stride, &band.header,
                                reinterpret_cast<BYTE*>(band.colors), oem::kImageCallbackMono, &params, &sent);
    bandsTaken = bandsTaken && hr == S_OK && sent == reinterpret_cast<BYTE*>(static_cast<INT_PTR>(TRUE));
  }
  Check(bandsTaken, "ImageProcessing takes every band and sends it itself");
  // Bands it cannot read are refused, not read past.
  {
    oem::IPPARAMS params{};
    params.dwSize = sizeof params;
    params.ptOffset = POINT{0, 0};
    BYTE* sent = nullptr;
    MonoInfo bad = MonoHeader(width, 128);
    bad.header.biSizeImage = static_cast<DWORD>(page.stride * 127);
    const HRESULT shortBand = plugin->ImageProcessing(&devobj, page.bits.data(), &bad.header,
                                                      reinterpret_cast<BYTE*>(bad.colors), 1, &params, &sent);
    bad = MonoHeader(width, 1);
    bad.header.biBitCount = 8;
    const HRESULT deepBand = plugin->ImageProcessing(&devobj, page.bits.data(), &bad.header,
                                                     reinterpret_cast<BYTE*>(bad.colors), 1, &params, &sent);
    Check(shortBand == E_FAIL && deepBand == E_FAIL && sent == nullptr,
          "ImageProcessing refuses a band shorter than its rows and one of 8 bits a pixel");
  }
  Check(blankBands > 0, "the page has blank bands");
  Check(plugin->CommandCallback(&devobj, oem::kCallbackEndJob, 0, nullptr, &result) == S_OK,
        "the end-of-job callback");
  CheckLeftOutMethods(plugin, &devobj);

  oem::DEVOBJ resetTo = devobj;
  Check(plugin->ResetPDEV(&devobj, &resetTo) == S_OK, "ResetPDEV");
  Check(plugin->DisablePDEV(&devobj) == S_OK, "DisablePDEV frees the device data");
  Check(plugin->DisableDriver() == S_OK && driver.refs == 1, "DisableDriver lets the helper go");
  Check(plugin->Release() == 0, "the last Release ends the plug-in");
  Check(driver.writes > 0 && driver.badWrites == 0, "everything went through DrvWriteSpoolBuf for this device");

  Check(canUnloadNow() == S_OK, "DllCanUnloadNow allows unloading");
  FreeLibrary(dll);
  dll = LoadLibraryW(argv[1]);
  plugin = dll != nullptr ? CreatePlugin(dll) : nullptr;
  Check(plugin != nullptr, "after unloading, the DLL loads and makes a plug-in again");
  if (plugin != nullptr) plugin->Release();
  if (dll != nullptr) FreeLibrary(dll);

  Check(WriteFile(argv[4], driver.spool), "the spool bytes are written");
  Check(WriteFile(argv[5], Reference(page)), "the reference page is written");
  std::printf("%d spool bytes in %d writes, page %dx%d, %d failed checks\n", static_cast<int>(driver.spool.size()),
              driver.writes, page.width, page.height, g_failures);
  return g_failures;
}
