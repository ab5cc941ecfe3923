#include "platform/Surface.h"

#include <algorithm>
#include <cassert>
#include <cstring>

CSurface::CSurface(int32_t width, int32_t height)
    : m_nWidth(width), m_nHeight(height), m_own(static_cast<size_t>(width) * height, 0u),
      m_pPixels(m_own.data()), m_dirty(width, height)
{
    assert(width >= 1 && height >= 1);
}

CSurface::CSurface(int32_t width, int32_t height, std::shared_ptr<uint32_t> memory)
    : m_nWidth(width), m_nHeight(height), m_shared(std::move(memory)), m_pPixels(m_shared.get()),
      m_dirty(width, height)
{
    assert(width >= 1 && height >= 1 && m_pPixels != nullptr);
    std::memset(m_pPixels, 0, static_cast<size_t>(width) * height * sizeof(uint32_t));
}

void CSurface::SetColorKey(uint32_t key)
{
    m_colorKey = key & 0x00FFFFFFu;
    m_bHasColorKey = true;
    m_bRunsValid = false;
}

HRESULT CSurface::BltFast(int32_t x, int32_t y, const CSurface& src, const RECT& srcRect,
                          uint32_t flags)
{
    m_bRunsValid = false;
    if ((flags & DDBLTFAST_SRCCOLORKEY) && src.m_bHasColorKey) return BltKeyed(x, y, src, srcRect);
    const int32_t sx0 = std::max({srcRect.left, 0, srcRect.left - x});
    const int32_t sx1 = std::min({srcRect.right, src.m_nWidth, srcRect.left + m_nWidth - x});
    const int32_t sy0 = std::max({srcRect.top, 0, srcRect.top - y});
    const int32_t sy1 = std::min({srcRect.bottom, src.m_nHeight, srcRect.top + m_nHeight - y});
    if (sx0 >= sx1) return DD_OK;
    const int32_t dx0 = x + (sx0 - srcRect.left);
    for (int32_t sy = sy0; sy < sy1; ++sy) {
        const int32_t dy = y + (sy - srcRect.top);
        std::memmove(m_pPixels + size_t(dy) * m_nWidth + dx0, src.m_pPixels + size_t(sy) * src.m_nWidth + sx0,
                     size_t(sx1 - sx0) * sizeof(uint32_t));
        m_dirty.Mark(dy, dx0, dx0 + (sx1 - sx0) - 1);
    }
    return DD_OK;
}

HRESULT CSurface::BltKeyed(int32_t x, int32_t y, const CSurface& src, const RECT& srcRect)
{
    const int32_t sx0 = std::max({srcRect.left, 0, srcRect.left - x});
    const int32_t sx1 = std::min({srcRect.right, src.m_nWidth, srcRect.left + m_nWidth - x});
    const int32_t sy0 = std::max({srcRect.top, 0, srcRect.top - y});
    const int32_t sy1 = std::min({srcRect.bottom, src.m_nHeight, srcRect.top + m_nHeight - y});
    for (const Run& run : src.KeyedRuns()) {
        if (run.y < sy0 || run.y >= sy1) continue;
        const int32_t a = std::max(run.x0, sx0), b = std::min(run.x1, sx1);
        if (a >= b) continue;
        const int32_t dx = x + (a - srcRect.left), dy = y + (run.y - srcRect.top);
        std::memmove(m_pPixels + size_t(dy) * m_nWidth + dx, src.m_pPixels + size_t(run.y) * src.m_nWidth + a,
                     size_t(b - a) * sizeof(uint32_t));
        m_dirty.Mark(dy, dx, dx + (b - a) - 1);
    }
    return DD_OK;
}

const std::vector<CSurface::Run>& CSurface::KeyedRuns() const
{
    if (m_bRunsValid) return m_runs;
    m_runs.clear();
    for (int32_t y = 0; y < m_nHeight; ++y) {
        const uint32_t* const row = m_pPixels + size_t(y) * m_nWidth;
        for (int32_t x = 0; x < m_nWidth;) {
            if ((row[x] & 0x00FFFFFFu) == m_colorKey) {
                ++x;
                continue;
            }
            const int32_t start = x;
            while (x < m_nWidth && (row[x] & 0x00FFFFFFu) != m_colorKey) ++x;
            m_runs.push_back({y, start, x});
        }
    }
    m_bRunsValid = true;
    return m_runs;
}

void CSurface::StretchFrom(const CSurface& src, const RECT& srcRect)
{
    const int32_t sw = srcRect.Width(), sh = srcRect.Height();
    if (sw <= 0 || sh <= 0) return;
    uint32_t* const pixels = Pixels();
    for (int32_t y = 0; y < m_nHeight; ++y) {
        const int32_t sy = std::clamp(srcRect.top + static_cast<int32_t>(int64_t(y) * sh / m_nHeight), 0,
                                      src.m_nHeight - 1);
        for (int32_t x = 0; x < m_nWidth; ++x) {
            const int32_t sx = std::clamp(srcRect.left + static_cast<int32_t>(int64_t(x) * sw / m_nWidth),
                                          0, src.m_nWidth - 1);
            pixels[size_t(y) * m_nWidth + x] = src.Pixel(sx, sy);
        }
    }
}

void CSurface::BlendFrom(const CSurface& src)
{
    const float stepX = float(src.m_nWidth) / float(m_nWidth), stepY = float(src.m_nHeight) / float(m_nHeight);
    uint32_t* const pixels = Pixels();
    for (int32_t y = 0; y < m_nHeight; ++y) {
        // Pixel centres onto pixel centres.
        const float sy = std::max(0.0f, (float(y) + 0.5f) * stepY - 0.5f);
        const int32_t y0 = std::min(int32_t(sy), src.m_nHeight - 1), y1 = std::min(y0 + 1, src.m_nHeight - 1);
        const float fy = sy - float(y0);
        for (int32_t x = 0; x < m_nWidth; ++x) {
            const float sx = std::max(0.0f, (float(x) + 0.5f) * stepX - 0.5f);
            const int32_t x0 = std::min(int32_t(sx), src.m_nWidth - 1), x1 = std::min(x0 + 1, src.m_nWidth - 1);
            const float fx = sx - float(x0);
            const uint32_t samples[4] = {src.Pixel(x0, y0), src.Pixel(x1, y0), src.Pixel(x0, y1), src.Pixel(x1, y1)};
            const float weights[4] = {(1 - fx) * (1 - fy), fx * (1 - fy), (1 - fx) * fy, fx * fy};
            pixels[size_t(y) * m_nWidth + x] = src.Blend(samples, weights);
        }
    }
}

uint32_t CSurface::Blend(const uint32_t* samples, const float* weights) const
{
    float shown = 0, channels[3] = {};
    int32_t strongest = -1;
    for (int32_t i = 0; i < 4; ++i) {
        if (m_bHasColorKey && samples[i] == m_colorKey) continue;
        shown += weights[i];
        for (int32_t c = 0; c < 3; ++c) channels[c] += weights[i] * float((samples[i] >> (8 * c)) & 0xFFu);
        if (strongest < 0 || weights[i] > weights[strongest]) strongest = i;
    }
    if (shown < 0.5f) return m_colorKey;
    uint32_t blended = 0;
    for (int32_t c = 0; c < 3; ++c)
        blended |= uint32_t(std::min(255.0f, channels[c] / shown + 0.5f)) << (8 * c);
    // A blend of dark colours may round to the key itself, and would vanish.
    return m_bHasColorKey && blended == m_colorKey ? samples[strongest] : blended;
}

void CSurface::Fill(uint32_t color)
{
    FillRect({0, 0, m_nWidth, m_nHeight}, color);
}

void CSurface::FillRect(const RECT& rect, uint32_t color)
{
    m_bRunsValid = false;
    const int32_t left = std::max(rect.left, 0), right = std::min(rect.right, m_nWidth);
    const int32_t top = std::max(rect.top, 0), bottom = std::min(rect.bottom, m_nHeight);
    m_dirty.Clear(left, top, right, bottom, color, m_cleanColor, [this, color](int32_t y, int32_t x0, int32_t x1) {
        FillRun(m_pPixels + size_t(y) * m_nWidth + x0, x1 - x0, color);
    });
}
