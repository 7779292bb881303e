// Drives a rendering plug-in DLL of the driver package in the universal
// printer driver's documented order, with a driver helper of our own that
// records what the plug-in writes to the spool buffer:
//   plugin_harness DLL WIDTH SAMPLE.BMP OUT
// It loads the DLL, makes the plug-in, asks GetInfo (also with a short
// buffer), publishes the helper, asks GetImplementedMethod and DevMode, and
// enables the driver. Then it prints each job of one table: pages of WIDTH
// dots (text and the sample picture) in bands, each device context enabled,
// the start-of-job, start-of-page and end-of-job callbacks, ResetPDEV with the
// old and the new device between pages where a job asks for ResetDC, bands
// off the left edge, a job cancelled part-way, and every printing preference
// answered through DrvGetDriverSetting. Last, it checks the bands the plug-in
// must refuse and the methods it leaves out, disables the driver, unloads the
// DLL once DllCanUnloadNow allows it and loads it again.
// For each job it writes OUT-NAME.bin (the spool bytes), OUT-NAME.pgm (the
// pages down to their last printed rows, 8-bit grey, 0 for a dot) and
// OUT-NAME.expect ("CUTS PARTIAL KICKS PAPER": what the printer must show,
// PAPER being "pages" when the paper shows the pages dot for dot, "shorter"
// when it is shorter than them, "any" otherwise). Every check is printed;
// the exit code is the number of failed checks.
//
// Where the order comes from (the prcomoem.h reference pages, learn.microsoft.com/
// windows-hardware/drivers/ddi/prcomoem/): GetInfo "is called immediately after
// the plug-in is loaded" (IPrintOemUni::GetInfo); PublishDriverInterface is
// called first with the IPrintOemDriverUni helper and must answer S_OK, or no
// other method is called (::PublishDriverInterface); GetImplementedMethod
// answers S_OK or S_FALSE per method name (::GetImplementedMethod);
// EnableDriver and DisableDriver come as a pair and DisableDriver is the last
// method before the plug-in is unloaded (::EnableDriver, ::DisableDriver);
// ResetPDEV gets the old and the new device when an application calls ResetDC
// (::ResetPDEV); the command callbacks' ids are the GPD's *CallbackID
// (::CommandCallback) and the job's sections run as "Command Execution Order"
// describes (JOB_SETUP once a job, DOC_SETUP again after each ResetDC).
// Our inference, which only Windows can confirm (docs/payload.md, "What is
// proven here"): where DevMode and GetImplementedMethod fall between
// PublishDriverInterface and EnableDriver, that unidrv hands 1-bit bands whose
// header sizes add up, GetInfo's answer to a short buffer (E_FAIL with the size
// needed: the page says only how a NULL buffer is sized), and how
// DrvWriteSpoolBuf reports a cancelled job (fewer bytes written).
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <cwchar>
#include <string>
#include <utility>
#include <vector>

#include "oem_interface.h"

namespace {

int g_failures = 0;

void Check(bool ok, const std::string& what) {
  std::printf("%s %s\n", ok ? "ok  " : "FAIL", what.c_str());
  if (!ok) ++g_failures;
}

using Options = std::vector<std::pair<const char*, const char*>>;

// The driver's helper: answers the job's preferences, records what the
// plug-in writes and, for a cancelled job, refuses writes after `room` bytes.
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
  // The selected option's keyword, then an empty string, as the driver answers a feature name.
  STDMETHODIMP DrvGetDriverSetting(void* devobj, const char* feature, void* out, DWORD size, DWORD* needed,
                                   DWORD* count) override {
    if (devobj != expected || feature == nullptr || needed == nullptr || count == nullptr) return E_FAIL;
    for (const auto& option : options) {
      if (std::strcmp(option.first, feature) != 0) continue;
      *needed = static_cast<DWORD>(std::strlen(option.second) + 2);
      if (out == nullptr || size < *needed) return E_FAIL;
      std::memcpy(out, option.second, *needed - 1);
      static_cast<char*>(out)[*needed - 1] = '\0';
      *count = 1;
      return S_OK;
    }
    return E_FAIL;
  }
  STDMETHODIMP DrvWriteSpoolBuf(oem::DEVOBJ* devobj, void* buffer, DWORD size, DWORD* written) override {
    if (devobj != expected || buffer == nullptr || written == nullptr) {
      ++badWrites;
      return E_FAIL;
    }
    *written = room < 0 || room >= static_cast<long>(size) ? size : static_cast<DWORD>(room);
    spool.append(static_cast<const char*>(buffer), *written);
    if (room >= 0) room -= static_cast<long>(*written);
    ++writes;
    return *written == size ? S_OK : E_FAIL;
  }
  STDMETHODIMP DrvXMoveTo(oem::DEVOBJ*, INT, DWORD, INT*) override { return E_NOTIMPL; }
  STDMETHODIMP DrvYMoveTo(oem::DEVOBJ*, INT, DWORD, INT*) override { return E_NOTIMPL; }
  STDMETHODIMP DrvGetStandardVariable(oem::DEVOBJ*, DWORD, void*, DWORD, DWORD*) override { return E_NOTIMPL; }
  STDMETHODIMP DrvGetGPDData(oem::DEVOBJ*, DWORD, void*, void*, DWORD, DWORD*) override { return E_NOTIMPL; }
  STDMETHODIMP DrvUniTextOut(oem::SURFOBJ*, oem::STROBJ*, oem::FONTOBJ*, oem::CLIPOBJ*, RECTL*, RECTL*,
                             oem::BRUSHOBJ*, oem::BRUSHOBJ*, POINTL*, oem::MIX) override {
    return E_NOTIMPL;
  }
  STDMETHODIMP DrvWriteAbortBuf(oem::DEVOBJ* devobj, void* buffer, DWORD size, DWORD) override {
    if (devobj != expected || buffer == nullptr || room != 0) {
      ++badWrites;
      return E_FAIL;
    }
    spool.append(static_cast<const char*>(buffer), size);
    ++abortWrites;
    return S_OK;
  }

  long refs = 1;
  oem::DEVOBJ* expected = nullptr;
  Options options;
  long room = -1;
  std::string spool;
  int writes = 0;
  int abortWrites = 0;
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

// The pages as the printer must show them: each down to its last printed
// row, `left` blank dots before it, one grey byte a dot.
std::string Reference(const std::vector<Page>& pages, int width, int left) {
  std::string rows;
  for (const Page& page : pages) {
    int last = page.height - 1;
    while (last >= 0 && page.RowBlank(last)) --last;
    for (int y = 0; y <= last; ++y) {
      for (int x = 0; x < width; ++x) rows += x >= left && x - left < page.width && page.Dot(x - left, y) ? '\0' : '\xFF';
    }
  }
  return "P5\n" + std::to_string(width) + " " + std::to_string(rows.size() / width) + "\n255\n" + rows;
}

std::string Hex(const std::string& bytes) {
  std::string out;
  char two[3];
  for (unsigned char b : bytes) {
    std::snprintf(two, sizeof two, "%02x", b);
    out += two;
  }
  return out;
}

// One print job and what the printer must get.
struct Job {
  const char* name;
  Options options;  // the printing preferences the driver answers
  int pages;
  bool resetBetweenPages;  // ResetDC between pages
  int left;                // the bands' ptOffset.x; the page is that much narrower
  bool skipBlankBands;     // blank bands are not handed over: ptOffset.y tells the gap
  long cancelAfter;        // bytes the printer takes before the job is cancelled, -1 for none
  const char* starts;      // the job's first bytes, in hex
  const char* ends;        // its last bytes
  const char* expect;      // CUTS PARTIAL KICKS PAPER, as the printer shows the job
};

const Options kDefaults = {{"PaperCut", "PartialCut"}, {"CutWhen", "AfterJob"}, {"CutFeed", "Feed0mm"},
                           {"CashDrawer", "NoDrawer"}, {"DrawerPin", "Drawer1"}, {"BlankGaps", "KeepGaps"}};

const std::vector<Job>& Jobs() {
  static const std::vector<Job> jobs = {
      {"default", kDefaults, 1, false, 0, false, -1, "1b40", "1d564200", "1 1 0 pages"},
      {"two-pages", kDefaults, 2, false, 0, false, -1, "1b40", "1d564200", "1 1 0 pages"},
      {"full-cut-each-page-resetdc", {{"PaperCut", "FullCut"}, {"CutWhen", "AfterEachPage"}}, 2, true, 0, false,
       -1, "1b40", "1d564100", "2 0 0 any"},
      {"no-cut", {{"PaperCut", "NoCut"}}, 1, false, 0, false, -1, "1b40", "", "0 0 0 pages"},
      {"feed-5mm", {{"CutFeed", "Feed5mm"}}, 1, false, 0, false, -1, "1b40", "1d564228", "1 1 0 pages"},
      {"full-cut-feed-10mm", {{"PaperCut", "FullCut"}, {"CutFeed", "Feed10mm"}}, 1, false, 0, false, -1, "1b40",
       "1d564150", "1 0 0 pages"},
      {"feed-20mm", {{"CutFeed", "Feed20mm"}}, 1, false, 0, false, -1, "1b40", "1d5642a0", "1 1 0 pages"},
      {"drawer-1-before-job", {{"CashDrawer", "BeforeJob"}, {"DrawerPin", "Drawer1"}}, 1, false, 0, false, -1,
       "1b401b700019fa", "1d564200", "1 1 1 pages"},
      {"drawer-2-after-job", {{"CashDrawer", "AfterJob"}, {"DrawerPin", "Drawer2"}}, 1, false, 0, false, -1,
       "1b40", "1d5642001b700119fa", "1 1 1 pages"},
      {"shorten-gaps", {{"BlankGaps", "Shorten10mm"}}, 2, false, 0, false, -1, "1b40", "1d564200",
       "1 1 0 shorter"},
      {"offsets", kDefaults, 2, true, 192, true, -1, "1b40", "1d564200", "1 1 0 pages"},
      {"cancelled", kDefaults, 2, false, 0, false, 1000, "1b40", "1b40", "0 0 0 any"},
  };
  return jobs;
}

// Hands a page over in bands of 128 rows, blank bands flagged (or left out) as unidrv does.
bool SendPage(oem::IPrintOemUni* plugin, oem::DEVOBJ* devobj, const Page& page, const Job& job) {
  MonoInfo band = MonoHeader(page.width, 0);
  bool taken = true;
  for (int top = 0; top < page.height; top += 128) {
    const int rows = page.height - top < 128 ? page.height - top : 128;
    band.header.biHeight = rows;
    band.header.biSizeImage = static_cast<DWORD>(page.stride * rows);
    oem::IPPARAMS params{};
    params.dwSize = sizeof params;
    params.ptOffset = POINT{job.left, top};
    params.bBanding = TRUE;
    params.bBlankBand = TRUE;
    for (int y = top; y < top + rows && params.bBlankBand; ++y) params.bBlankBand = page.RowBlank(y);
    if (params.bBlankBand && job.skipBlankBands) continue;
    BYTE* sent = nullptr;
    const HRESULT hr =
        plugin->ImageProcessing(devobj, const_cast<BYTE*>(page.bits.data()) + top * page.stride, &band.header,
                                reinterpret_cast<BYTE*>(band.colors), oem::kImageCallbackMono, &params, &sent);
    taken = taken && hr == S_OK && sent == reinterpret_cast<BYTE*>(static_cast<INT_PTR>(TRUE));
  }
  return taken;
}

oem::DEVOBJ* EnableDevice(oem::IPrintOemUni* plugin, oem::DEVOBJ* devobj) {
  *devobj = oem::DEVOBJ{};
  devobj->dwSize = sizeof *devobj;
  wchar_t printerName[] = L"lumatrek";
  oem::PDEVOEM device = nullptr;
  if (plugin->EnablePDEV(devobj, printerName, 0, nullptr, 0, nullptr, 0, nullptr, nullptr, &device) != S_OK) {
    return nullptr;
  }
  devobj->pdevOEM = device;
  return device != nullptr ? devobj : nullptr;
}

// Prints one job as unidrv does; false when a call the job needs failed.
bool PrintJob(oem::IPrintOemUni* plugin, RecordingDriver& driver, const Job& job, const std::vector<Page>& pages) {
  oem::DEVOBJ devices[2];
  int current = 0;
  driver.options = job.options;
  driver.room = job.cancelAfter;
  driver.spool.clear();
  if (EnableDevice(plugin, &devices[current]) == nullptr) return false;
  driver.expected = &devices[current];
  INT result = 0;
  const bool cancelled = job.cancelAfter >= 0;
  bool ok = plugin->CommandCallback(&devices[current], oem::kCallbackStartJob, 0, nullptr, &result) == S_OK;
  for (int p = 0; p < job.pages; ++p) {
    if (p > 0 && job.resetBetweenPages) {
      const int next = 1 - current;
      ok = ok && EnableDevice(plugin, &devices[next]) != nullptr &&
           plugin->ResetPDEV(&devices[current], &devices[next]) == S_OK;
      ok = plugin->DisablePDEV(&devices[current]) == S_OK && ok;
      current = next;
      driver.expected = &devices[current];
    }
    const bool started = plugin->CommandCallback(&devices[current], oem::kCallbackStartPage, 0, nullptr, &result) == S_OK;
    const bool sent = SendPage(plugin, &devices[current], pages[p], job);
    ok = ok && (cancelled || (started && sent));
  }
  const bool ended = plugin->CommandCallback(&devices[current], oem::kCallbackEndJob, 0, nullptr, &result) == S_OK;
  ok = ok && ended != cancelled;
  return plugin->DisablePDEV(&devices[current]) == S_OK && ok;
}

// Bands the plug-in cannot read are refused, not read past.
void CheckRefusedBands(oem::IPrintOemUni* plugin, oem::DEVOBJ* devobj, const Page& page) {
  oem::IPPARAMS params{};
  params.dwSize = sizeof params;
  BYTE* sent = nullptr;
  const auto send = [&](MonoInfo info) {
    return plugin->ImageProcessing(devobj, const_cast<BYTE*>(page.bits.data()), &info.header,
                                   reinterpret_cast<BYTE*>(info.colors), 1, &params, &sent);
  };
  MonoInfo shortBand = MonoHeader(page.width, 128);
  shortBand.header.biSizeImage = static_cast<DWORD>(page.stride * 127);
  MonoInfo deep = MonoHeader(page.width, 1);
  deep.header.biBitCount = 8;
  MonoInfo huge = MonoHeader(0x7FFFFFFF, 0x7FFFFFFF);
  huge.header.biSizeImage = 0x1000;
  Check(send(shortBand) == E_FAIL && send(deep) == E_FAIL && send(huge) == E_FAIL && sent == nullptr,
        "ImageProcessing refuses a band shorter than its rows, one of 8 bits a pixel and one whose size overflows");
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
  if (argc != 5) {
    std::fprintf(stderr, "usage: plugin_harness DLL WIDTH SAMPLE.BMP OUT\n");
    return 100;
  }
  const int width = _wtoi(argv[2]);
  HMODULE dll = LoadLibraryW(argv[1]);
  Check(dll != nullptr, "the plug-in DLL loads");
  if (dll == nullptr) return g_failures;
  auto canUnloadNow = reinterpret_cast<CanUnloadNow>(reinterpret_cast<void*>(GetProcAddress(dll, "DllCanUnloadNow")));
  oem::IPrintOemUni* plugin = CreatePlugin(dll);
  Check(plugin != nullptr, "the class object makes a plug-in that answers IPrintOemUni");
  if (plugin == nullptr) return g_failures;
  Check(canUnloadNow != nullptr && canUnloadNow() == S_FALSE, "DllCanUnloadNow refuses while the plug-in lives");

  DWORD signature = 0, info = 0, needed = 0;
  Check(plugin->GetInfo(oem::OEMGI_GETSIGNATURE, &signature, sizeof signature, &needed) == S_OK && needed == 4 &&
            signature != 0,
        "GetInfo answers the signature");
  SetLastError(0);
  needed = 0;
  Check(plugin->GetInfo(oem::OEMGI_GETSIGNATURE, &info, 2, &needed) == E_FAIL && needed == 4 &&
            GetLastError() == ERROR_INSUFFICIENT_BUFFER,
        "GetInfo with a short buffer fails and asks for 4 bytes");
  Check(plugin->GetInfo(oem::OEMGI_GETVERSION, &info, sizeof info, &needed) == S_OK && needed == 4,
        "GetInfo answers the version");
  RecordingDriver driver;
  Check(plugin->PublishDriverInterface(&driver) == S_OK && driver.refs == 2, "PublishDriverInterface keeps the helper");
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
  Check(plugin->EnableDriver(oem::PRINTER_OEMINTF_VERSION, 0, nullptr) == S_OK, "EnableDriver answers S_OK");

  std::vector<Page> drawn;
  for (const Job& job : Jobs()) {
    std::vector<Page> pages(job.pages);
    bool drawnOk = true;
    for (Page& page : pages) drawnOk = drawnOk && DrawPage(width - job.left, argv[3], &page);
    if (!drawnOk) {
      std::fprintf(stderr, "could not draw the pages\n");
      return 100;
    }
    const int before = driver.badWrites, aborts = driver.abortWrites;
    const bool printed = PrintJob(plugin, driver, job, pages);
    const std::string& spool = driver.spool;
    const std::string hex = Hex(spool);
    const std::string starts = job.starts, ends = job.ends;
    const bool cancelled = job.cancelAfter >= 0;
    Check(printed && driver.badWrites == before && (driver.abortWrites > aborts) == cancelled &&
              hex.compare(0, starts.size(), starts) == 0 && hex.size() >= ends.size() &&
              hex.compare(hex.size() - ends.size(), ends.size(), ends) == 0,
          std::string(job.name) + ": the job starts with " + starts + " and ends with " + (ends.empty() ? "no cut" : ends) +
              (cancelled ? ", completed through DrvWriteAbortBuf" : ""));
    const std::wstring out = std::wstring(argv[4]) + L"-" + std::wstring(job.name, job.name + std::strlen(job.name));
    Check(WriteFile((out + L".bin").c_str(), spool) && WriteFile((out + L".pgm").c_str(), Reference(pages, width, job.left)) &&
              WriteFile((out + L".expect").c_str(), std::string(job.expect) + "\n"),
          std::string(job.name) + ": the spool bytes, the pages and the expectation are written");
    if (drawn.empty()) drawn = pages;
  }

  oem::DEVOBJ devobj{};
  driver.expected = EnableDevice(plugin, &devobj);
  Check(driver.expected != nullptr, "EnablePDEV makes the device data");
  CheckRefusedBands(plugin, &devobj, drawn[0]);
  CheckLeftOutMethods(plugin, &devobj);
  Check(plugin->DisablePDEV(&devobj) == S_OK, "DisablePDEV frees the device data");
  Check(plugin->DisableDriver() == S_OK && driver.refs == 1, "DisableDriver lets the helper go");
  Check(plugin->Release() == 0, "the last Release ends the plug-in");

  Check(canUnloadNow() == S_OK, "DllCanUnloadNow allows unloading");
  FreeLibrary(dll);
  dll = LoadLibraryW(argv[1]);
  plugin = dll != nullptr ? CreatePlugin(dll) : nullptr;
  Check(plugin != nullptr, "after unloading, the DLL loads and makes a plug-in again");
  if (plugin != nullptr) plugin->Release();
  if (dll != nullptr) FreeLibrary(dll);
  std::printf("%d jobs, %d failed checks\n", static_cast<int>(Jobs().size()), g_failures);
  return g_failures;
}
