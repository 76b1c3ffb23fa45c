#include "platform/win32/ddraw_error_names.h"

#include <ddraw.h>

namespace win32 {

namespace {

struct NamedResult {
  HRESULT result;
  const char* name;
};

// The results that explain a failed start or a lost screen: no driver, a
// mode the monitor can't show, another program holding the screen, no memory.
constexpr NamedResult known_results[] = {
    {DDERR_SURFACELOST, "the screen was taken by another program (DDERR_SURFACELOST)"},
    {DDERR_NOEXCLUSIVEMODE, "another program holds the screen (DDERR_NOEXCLUSIVEMODE)"},
    {DDERR_EXCLUSIVEMODEALREADYSET,
     "another program holds the screen (DDERR_EXCLUSIVEMODEALREADYSET)"},
    {DDERR_WRONGMODE, "the display mode was changed (DDERR_WRONGMODE)"},
    {DDERR_INVALIDMODE, "the display can't show 1024 x 768 x 32 (DDERR_INVALIDMODE)"},
    {DDERR_UNSUPPORTEDMODE, "the display can't show 1024 x 768 x 32 (DDERR_UNSUPPORTEDMODE)"},
    {DDERR_NODIRECTDRAWHW, "no DirectDraw display driver (DDERR_NODIRECTDRAWHW)"},
    {DDERR_NODIRECTDRAWSUPPORT, "no DirectDraw display driver (DDERR_NODIRECTDRAWSUPPORT)"},
    {DDERR_OUTOFMEMORY, "out of memory (DDERR_OUTOFMEMORY)"},
    {DDERR_OUTOFVIDEOMEMORY, "out of video memory (DDERR_OUTOFVIDEOMEMORY)"},
    {DDERR_NOFLIPHW, "the display can't flip surfaces (DDERR_NOFLIPHW)"},
    {DDERR_SURFACEBUSY, "the surface is busy (DDERR_SURFACEBUSY)"},
    {DDERR_NOTLOCKED, "the surface is not locked (DDERR_NOTLOCKED)"},
    {DDERR_CANTCREATEDC, "no device context for the surface (DDERR_CANTCREATEDC)"},
    {DDERR_DCALREADYCREATED, "the surface's device context is in use (DDERR_DCALREADYCREATED)"},
    {DDERR_INVALIDPARAMS, "invalid parameters (DDERR_INVALIDPARAMS)"},
    {DDERR_INVALIDOBJECT, "invalid object (DDERR_INVALIDOBJECT)"},
    {DDERR_GENERIC, "the display driver failed (DDERR_GENERIC)"},
};

}  // namespace

const char* ddraw_error_name(HRESULT result) {
  for (const NamedResult& known : known_results) {
    if (known.result == result) return known.name;
  }
  return nullptr;
}

}  // namespace win32
