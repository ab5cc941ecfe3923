#include "platform/Surface.h"

#include <algorithm>
#include <cassert>

CSurface::CSurface(int32_t width, int32_t height)
    : m_nWidth(width), m_nHeight(height), m_pixels(static_cast<size_t>(width) * height, 0u)
{
    assert(width >= 1 && height >= 1);
}

void CSurface::SetColorKey(uint32_t key)
{
    m_colorKey = key & 0x00FFFFFFu;
    m_bHasColorKey = true;
}

HRESULT CSurface::BltFast(int32_t x, int32_t y, const CSurface& src, const RECT& srcRect,
                          uint32_t flags)
{
    const int32_t sx0 = std::max(srcRect.left, 0), sy0 = std::max(srcRect.top, 0);
    const int32_t sx1 = std::min(srcRect.right, src.m_nWidth);
    const int32_t sy1 = std::min(srcRect.bottom, src.m_nHeight);
    const bool keyed = (flags & DDBLTFAST_SRCCOLORKEY) && src.m_bHasColorKey;
    for (int32_t sy = sy0; sy < sy1; ++sy) {
        const int32_t dy = y + (sy - srcRect.top);
        if (dy < 0 || dy >= m_nHeight) continue;
        for (int32_t sx = sx0; sx < sx1; ++sx) {
            const int32_t dx = x + (sx - srcRect.left);
            if (dx < 0 || dx >= m_nWidth) continue;
            const uint32_t p = src.Pixel(sx, sy);
            if (keyed && (p & 0x00FFFFFFu) == src.m_colorKey) continue;
            m_pixels[dy * m_nWidth + dx] = p;
        }
    }
    return DD_OK;
}

void CSurface::StretchFrom(const CSurface& src, const RECT& srcRect)
{
    const int32_t sw = srcRect.Width(), sh = srcRect.Height();
    if (sw <= 0 || sh <= 0) return;
    for (int32_t y = 0; y < m_nHeight; ++y) {
        const int32_t sy = std::clamp(srcRect.top + static_cast<int32_t>(int64_t(y) * sh / m_nHeight), 0,
                                      src.m_nHeight - 1);
        for (int32_t x = 0; x < m_nWidth; ++x) {
            const int32_t sx = std::clamp(srcRect.left + static_cast<int32_t>(int64_t(x) * sw / m_nWidth),
                                          0, src.m_nWidth - 1);
            m_pixels[y * m_nWidth + x] = src.Pixel(sx, sy);
        }
    }
}

void CSurface::Fill(uint32_t color)
{
    std::fill(m_pixels.begin(), m_pixels.end(), color);
}

void CSurface::FillRect(const RECT& rect, uint32_t color)
{
    const int32_t left = std::max(rect.left, 0), right = std::min(rect.right, m_nWidth);
    const int32_t top = std::max(rect.top, 0), bottom = std::min(rect.bottom, m_nHeight);
    if (left >= right) return;
    for (int32_t y = top; y < bottom; ++y) {
        uint32_t* const row = m_pixels.data() + size_t(y) * m_nWidth;
        std::fill(row + left, row + right, color);
    }
}
