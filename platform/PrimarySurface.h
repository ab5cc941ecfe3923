#pragma once
// The window's visible game area: presenting copies a back buffer into it.
#include "platform/HResult.h"
#include "platform/Rect.h"

class CSurface;

class IPrimarySurface {
public:
    virtual ~IPrimarySurface() = default;
    // dst is in screen coordinates and has srcRect's size; the copy is one to one.
    virtual HRESULT Blt(const RECT& dst, const CSurface& src, const RECT& srcRect) = 0;
};
