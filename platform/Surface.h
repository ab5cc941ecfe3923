#pragma once
// A 32-bit XRGB pixel surface (0x00RRGGBB, the memory layout of QImage::Format_RGB32),
// used for the back buffer the device renders into and for the title picture.
// The surface owns its pixels. Not thread-safe: one thread draws into it at a time.
#include <cstdint>
#include <vector>

#include "platform/HResult.h"
#include "platform/Rect.h"

inline constexpr uint32_t DDBLTFAST_NOCOLORKEY = 0x0;
inline constexpr uint32_t DDBLTFAST_SRCCOLORKEY = 0x1;

class CSurface {
public:
    CSurface(int32_t width, int32_t height);  // both >= 1

    int32_t Width() const { return m_nWidth; }
    int32_t Height() const { return m_nHeight; }
    uint32_t* Pixels() { return m_pixels.data(); }
    const uint32_t* Pixels() const { return m_pixels.data(); }
    uint32_t Pixel(int32_t x, int32_t y) const { return m_pixels[y * m_nWidth + x]; }

    // With DDBLTFAST_SRCCOLORKEY, source pixels equal to the source's colour key are skipped.
    void SetColorKey(uint32_t key);
    bool HasColorKey() const { return m_bHasColorKey; }
    uint32_t ColorKey() const { return m_colorKey; }

    // Copies srcRect of src to (x, y), clipped to both surfaces; never stretches.
    HRESULT BltFast(int32_t x, int32_t y, const CSurface& src, const RECT& srcRect, uint32_t flags);
    // Scales the whole of src onto the whole of this surface, nearest pixel.
    void StretchFrom(const CSurface& src, const RECT& srcRect);
    void Fill(uint32_t color);
    // Clipped to the surface.
    void FillRect(const RECT& rect, uint32_t color);
    // Memory surfaces cannot be lost here; kept so callers follow one protocol.
    HRESULT Restore() { return DD_OK; }

private:
    int32_t m_nWidth;
    int32_t m_nHeight;
    std::vector<uint32_t> m_pixels;
    uint32_t m_colorKey = 0;
    bool m_bHasColorKey = false;
};
