#pragma once
// Pictures as surfaces: loading a bitmap into a new surface and copying one into an
// existing surface again. Pixel conversion is the loader's business; the copy stretches
// the chosen part of the bitmap over the whole surface.
#include <cstdint>
#include <memory>

#include "platform/HResult.h"

class CSurface;
class IBitmapLoader;

// A new surface of width x height (0: the bitmap's own) holding the named bitmap, or null
// when the loader has none by that name or the size is out of the loader's limits.
// The caller owns the surface.
std::unique_ptr<CSurface> CreateSurfaceFromBitmap(IBitmapLoader* loader, const char* name,
                                                  int32_t width, int32_t height);

// Loads the named bitmap again and stretches all of it over surface.
// E_FAIL with the line "handle is null" when it cannot be loaded; "ddcopybitmap failed"
// when the copy fails.
HRESULT ReloadBitmap(IBitmapLoader* loader, CSurface* surface, const char* name);

// Stretches the bitmap's rectangle (x, y, dx, dy) over the whole surface; dx or dy of 0
// means the bitmap's own width or height. E_FAIL when either is null.
HRESULT CopyBitmapToSurface(CSurface* surface, const CSurface* bitmap, int32_t x, int32_t y,
                            int32_t dx, int32_t dy);
