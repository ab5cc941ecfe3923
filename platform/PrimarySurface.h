#pragma once
// The window's visible game area: presenting copies a back buffer into it.
#include <cstdint>
#include <memory>

#include "platform/HResult.h"
#include "platform/Rect.h"

class CSurface;

class IPrimarySurface {
public:
    virtual ~IPrimarySurface() = default;
    // dst is in screen coordinates and has srcRect's size; the copy is one to one.
    virtual HRESULT Blt(const RECT& dst, const CSurface& src, const RECT& srcRect) = 0;
    // Memory for a width x height back buffer that Blt shows without copying it; null
    // (the default) when there is none, and the back buffer keeps memory of its own.
    virtual std::shared_ptr<uint32_t> AllocatePixels(int32_t, int32_t) { return nullptr; }
    // True when the window shows pixels with their top byte ignored (an X server's 24-bit
    // visual), so presenting need not make them opaque first.
    virtual bool IgnoresAlpha() const { return false; }
};
