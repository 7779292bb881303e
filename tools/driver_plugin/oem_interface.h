// The universal printer driver's plug-in interfaces, declared by hand (the
// mingw-w64 headers have none of them): the rendering plug-in's IPrintOemUni,
// the driver's helper IPrintOemDriverUni and the records they pass. Method
// order, identifiers and layouts are the platform's; types the plug-in never
// looks into are left opaque.
#pragma once
#include <windows.h>
#include <unknwn.h>

namespace oem {

// The class id under which the universal driver asks for a rendering plug-in.
inline constexpr CLSID CLSID_OEMRENDER = {0x6d6abf26, 0x9f38, 0x11d1, {0x88, 0x2a, 0x00, 0xc0, 0x4f, 0xb9, 0x61, 0xec}};
inline constexpr IID IID_IPrintOemUni = {0xd67ebbf0, 0x78bf, 0x11d1, {0x94, 0x80, 0x00, 0xa0, 0xc9, 0x06, 0x40, 0xb8}};
inline constexpr IID IID_IPrintOemUni2 = {0xb91220ac, 0x15cc, 0x4e7a, {0xa2, 0x1e, 0x95, 0x91, 0xf3, 0x4d, 0x6f, 0x6c}};
inline constexpr IID IID_IPrintOemUni3 = {0x4e4a7747, 0xbc76, 0x4aed, {0xac, 0xc8, 0xc7, 0x6a, 0xf2, 0x2a, 0xad, 0x43}};
inline constexpr IID IID_IPrintOemDriverUni = {0xd67ebbf1, 0x78bf, 0x11d1,
                                                {0x94, 0x80, 0x00, 0xa0, 0xc9, 0x06, 0x40, 0xb8}};

inline constexpr DWORD PRINTER_OEMINTF_VERSION = 0x00010000;
inline constexpr DWORD OEMGI_GETSIGNATURE = 1;
inline constexpr DWORD OEMGI_GETINTERFACEVERSION = 2;
inline constexpr DWORD OEMGI_GETVERSION = 3;
inline constexpr DWORD OEMDM_SIZE = 1;
inline constexpr DWORD OEMDM_DEFAULT = 2;
inline constexpr DWORD OEMDM_CONVERT = 3;
inline constexpr DWORD OEMDM_MERGE = 4;

// Opaque to the plug-in.
struct GDIINFO;
struct DEVINFO;
struct DRVENABLEDATA;
struct OEMMEMORYUSAGE;
struct UNIFONTOBJ;
struct FINVOCATION;
struct SURFOBJ;
struct STROBJ;
struct FONTOBJ;
struct CLIPOBJ;
struct BRUSHOBJ;
typedef void* HSURF;
typedef ULONG HGLYPH;
typedef ULONG MIX;
typedef void* PDEVOEM;

struct DEVOBJ {
  DWORD dwSize;
  PDEVOEM pdevOEM;  // the plug-in's own device data (from EnablePDEV)
  HANDLE hEngine;
  HANDLE hPrinter;
  HANDLE hOEM;
  DEVMODEW* pPublicDM;
  void* pOEMDM;
  void* pDrvProcs;
};

struct IPPARAMS {
  DWORD dwSize;
  POINT ptOffset;  // the band's place on the page
  char* pHalftoneOption;
  BOOL bBanding;
  BOOL bBlankBand;  // the band holds nothing to print
};

struct OEMDMPARAM {
  DWORD cbSize;
  void* pdriverobj;
  HANDLE hPrinter;
  HANDLE hModule;
  DEVMODEW* pPublicDMIn;
  DEVMODEW* pPublicDMOut;
  void* pOEMDMIn;
  void* pOEMDMOut;
  DWORD cbBufSize;
};

// Leads the plug-in's private part of the device mode.
struct OEM_DMEXTRAHEADER {
  DWORD dwSize;
  DWORD dwSignature;
  DWORD dwVersion;
};

struct IPrintOemDriverUni : public IUnknown {
  virtual HRESULT STDMETHODCALLTYPE DrvGetDriverSetting(void* pdriverobj, const char* Feature, void* pOutput,
                                                        DWORD cbSize, DWORD* pcbNeeded,
                                                        DWORD* pdwOptionsReturned) = 0;
  virtual HRESULT STDMETHODCALLTYPE DrvWriteSpoolBuf(DEVOBJ* pdevobj, void* pBuffer, DWORD cbSize,
                                                     DWORD* pdwResult) = 0;
  virtual HRESULT STDMETHODCALLTYPE DrvXMoveTo(DEVOBJ* pdevobj, INT x, DWORD dwFlags, INT* piResult) = 0;
  virtual HRESULT STDMETHODCALLTYPE DrvYMoveTo(DEVOBJ* pdevobj, INT y, DWORD dwFlags, INT* piResult) = 0;
  virtual HRESULT STDMETHODCALLTYPE DrvGetStandardVariable(DEVOBJ* pdevobj, DWORD dwIndex, void* pBuffer,
                                                           DWORD cbSize, DWORD* pcbNeeded) = 0;
  virtual HRESULT STDMETHODCALLTYPE DrvGetGPDData(DEVOBJ* pdevobj, DWORD dwType, void* pInputData, void* pBuffer,
                                                  DWORD cbSize, DWORD* pcbNeeded) = 0;
  virtual HRESULT STDMETHODCALLTYPE DrvUniTextOut(SURFOBJ* pso, STROBJ* pstro, FONTOBJ* pfo, CLIPOBJ* pco,
                                                  RECTL* prclExtra, RECTL* prclOpaque, BRUSHOBJ* pboFore,
                                                  BRUSHOBJ* pboOpaque, POINTL* pptlBrushOrg, MIX mix) = 0;
  virtual HRESULT STDMETHODCALLTYPE DrvWriteAbortBuf(DEVOBJ* pdevobj, void* pBuffer, DWORD cbSize,
                                                     DWORD dwWait) = 0;
};

// IUnknown, then IPrintOemCommon, IPrintOemEngine and IPrintOemUni's own methods.
struct IPrintOemUni : public IUnknown {
  virtual HRESULT STDMETHODCALLTYPE GetInfo(DWORD dwMode, void* pBuffer, DWORD cbSize, DWORD* pcbNeeded) = 0;
  virtual HRESULT STDMETHODCALLTYPE DevMode(DWORD dwMode, OEMDMPARAM* pOemDMParam) = 0;
  virtual HRESULT STDMETHODCALLTYPE EnableDriver(DWORD DriverVersion, DWORD cbSize, DRVENABLEDATA* pded) = 0;
  virtual HRESULT STDMETHODCALLTYPE DisableDriver() = 0;
  virtual HRESULT STDMETHODCALLTYPE EnablePDEV(DEVOBJ* pdevobj, wchar_t* pPrinterName, ULONG cPatterns,
                                               HSURF* phsurfPatterns, ULONG cjGdiInfo, GDIINFO* pGdiInfo,
                                               ULONG cjDevInfo, DEVINFO* pDevInfo, DRVENABLEDATA* pded,
                                               PDEVOEM* pDevOem) = 0;
  virtual HRESULT STDMETHODCALLTYPE DisablePDEV(DEVOBJ* pdevobj) = 0;
  virtual HRESULT STDMETHODCALLTYPE ResetPDEV(DEVOBJ* pdevobjOld, DEVOBJ* pdevobjNew) = 0;
  virtual HRESULT STDMETHODCALLTYPE PublishDriverInterface(IUnknown* pIUnknown) = 0;
  virtual HRESULT STDMETHODCALLTYPE GetImplementedMethod(char* pMethodName) = 0;
  virtual HRESULT STDMETHODCALLTYPE DriverDMS(void* pDevObj, void* pBuffer, DWORD cbSize, DWORD* pcbNeeded) = 0;
  virtual HRESULT STDMETHODCALLTYPE CommandCallback(DEVOBJ* pdevobj, DWORD dwCallbackID, DWORD dwCount,
                                                    DWORD* pdwParams, INT* piResult) = 0;
  virtual HRESULT STDMETHODCALLTYPE ImageProcessing(DEVOBJ* pdevobj, BYTE* pSrcBitmap,
                                                    BITMAPINFOHEADER* pBitmapInfoHeader, BYTE* pColorTable,
                                                    DWORD dwCallbackID, IPPARAMS* pIPParams, BYTE** ppbResult) = 0;
  virtual HRESULT STDMETHODCALLTYPE FilterGraphics(DEVOBJ* pdevobj, BYTE* pBuf, DWORD dwLen) = 0;
  virtual HRESULT STDMETHODCALLTYPE Compression(DEVOBJ* pdevobj, BYTE* pInBuf, BYTE* pOutBuf, DWORD dwInLen,
                                                DWORD dwOutLen, INT* piResult) = 0;
  virtual HRESULT STDMETHODCALLTYPE HalftonePattern(DEVOBJ* pdevobj, BYTE* pHTPattern, DWORD dwHTPatternX,
                                                    DWORD dwHTPatternY, DWORD dwHTNumPatterns, DWORD dwCallbackID,
                                                    BYTE* pResource, DWORD dwResourceSize) = 0;
  virtual HRESULT STDMETHODCALLTYPE MemoryUsage(DEVOBJ* pdevobj, OEMMEMORYUSAGE* pMemoryUsage) = 0;
  virtual HRESULT STDMETHODCALLTYPE TTYGetInfo(DEVOBJ* pdevobj, DWORD dwInfoIndex, void* pOutputBuf, DWORD dwSize,
                                               DWORD* pcbcNeeded) = 0;
  virtual HRESULT STDMETHODCALLTYPE DownloadFontHeader(DEVOBJ* pdevobj, UNIFONTOBJ* pUFObj, DWORD* pdwResult) = 0;
  virtual HRESULT STDMETHODCALLTYPE DownloadCharGlyph(DEVOBJ* pdevobj, UNIFONTOBJ* pUFObj, HGLYPH hGlyph,
                                                      DWORD* pdwWidth, DWORD* pdwResult) = 0;
  virtual HRESULT STDMETHODCALLTYPE TTDownloadMethod(DEVOBJ* pdevobj, UNIFONTOBJ* pUFObj, DWORD* pdwResult) = 0;
  virtual HRESULT STDMETHODCALLTYPE OutputCharStr(DEVOBJ* pdevobj, UNIFONTOBJ* pUFObj, DWORD dwType, DWORD dwCount,
                                                  void* pGlyph) = 0;
  virtual HRESULT STDMETHODCALLTYPE SendFontCmd(DEVOBJ* pdevobj, UNIFONTOBJ* pUFObj, FINVOCATION* pFInv) = 0;
  virtual HRESULT STDMETHODCALLTYPE TextOutAsBitmap(SURFOBJ* pso, STROBJ* pstro, FONTOBJ* pfo, CLIPOBJ* pco,
                                                    RECTL* prclExtra, RECTL* prclOpaque, BRUSHOBJ* pboFore,
                                                    BRUSHOBJ* pboOpaque, POINTL* pptlOrg, MIX mix) = 0;
};

// The printer-command callbacks of the printer descriptions (*CallbackID).
inline constexpr DWORD kCallbackStartJob = 1;
inline constexpr DWORD kCallbackEndJob = 2;
inline constexpr DWORD kCallbackStartPage = 3;
// The *IPCallbackID of the monochrome colour mode.
inline constexpr DWORD kImageCallbackMono = 1;

}  // namespace oem
