#include "render/BitmapSurface.h"

#include "platform/BitmapLoader.h"
#include "platform/posix/DebugOut.h"
#include "platform/Surface.h"

namespace {

std::unique_ptr<CSurface> Load(IBitmapLoader* loader, const char* name)
{
    if (loader == nullptr || name == nullptr) return nullptr;
    return loader->LoadBitmap(name);
}

}  // namespace

std::unique_ptr<CSurface> CreateSurfaceFromBitmap(IBitmapLoader* loader, const char* name,
                                                  int32_t width, int32_t height)
{
    const std::unique_ptr<CSurface> bitmap = Load(loader, name);
    if (!bitmap) return nullptr;
    const int32_t w = width > 0 ? width : bitmap->Width();
    const int32_t h = height > 0 ? height : bitmap->Height();
    if (w > kMaxBitmapWidth || h > kMaxBitmapHeight) return nullptr;
    auto surface = std::make_unique<CSurface>(w, h);
    CopyBitmapToSurface(surface.get(), bitmap.get(), 0, 0, 0, 0);
    return surface;
}

HRESULT ReloadBitmap(IBitmapLoader* loader, CSurface* surface, const char* name)
{
    const std::unique_ptr<CSurface> bitmap = Load(loader, name);
    if (!bitmap) {
        OutputDebugLine("handle is null\n");
        return E_FAIL;
    }
    const HRESULT hr = CopyBitmapToSurface(surface, bitmap.get(), 0, 0, 0, 0);
    if (hr != DD_OK) OutputDebugLine("ddcopybitmap failed\n");
    return hr;
}

HRESULT CopyBitmapToSurface(CSurface* surface, const CSurface* bitmap, int32_t x, int32_t y,
                            int32_t dx, int32_t dy)
{
    if (surface == nullptr || bitmap == nullptr) return E_FAIL;
    surface->Restore();
    if (dx == 0) dx = bitmap->Width();
    if (dy == 0) dy = bitmap->Height();
    surface->StretchFrom(*bitmap, RECT{x, y, x + dx, y + dy});
    return DD_OK;
}
