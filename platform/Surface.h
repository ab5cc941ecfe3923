#pragma once
// A 32-bit XRGB pixel surface (0x00RRGGBB, the memory layout of QImage::Format_RGB32),
// used for the back buffer the device renders into and for the title picture.
// The surface owns its pixels, or shares memory a presenter handed out (kept alive here).
// It remembers which chunks were written since the last clear (DirtyChunks.h), so a
// clear to the same colour rewrites only those: writers that keep their own pointer
// report what they change with MarkWritten. Not thread-safe: one thread draws at a time.
#include <cstdint>
#include <memory>
#include <vector>

#include "platform/DirtyChunks.h"
#include "platform/HResult.h"
#include "platform/Rect.h"

inline constexpr uint32_t DDBLTFAST_NOCOLORKEY = 0x0;
inline constexpr uint32_t DDBLTFAST_SRCCOLORKEY = 0x1;

class CSurface {
public:
    CSurface(int32_t width, int32_t height);  // both >= 1
    // memory holds width * height pixels and is cleared to black here.
    CSurface(int32_t width, int32_t height, std::shared_ptr<uint32_t> memory);

    int32_t Width() const { return m_nWidth; }
    int32_t Height() const { return m_nHeight; }
    // For writing: counts the whole surface as written. Use PixelsCallerMarks to say better.
    uint32_t* Pixels()
    {
        m_dirty.MarkAll();
        m_bRunsValid = false;
        return m_pPixels;
    }
    const uint32_t* Pixels() const { return m_pPixels; }
    // Marks nothing: the caller reports every change it makes through this pointer with
    // MarkWritten, or the next clear leaves it on screen. A pointer kept past the next
    // keyed blit from this surface must not be written (render targets keep theirs, and
    // are never keyed sources).
    uint32_t* PixelsCallerMarks()
    {
        m_bRunsValid = false;
        return m_pPixels;
    }
    // Pixels x0..x1 (inclusive, clipped to the surface) of row y were written.
    void MarkWritten(int32_t y, int32_t x0, int32_t x1) { m_dirty.Mark(y, x0, x1); }
    // What was written since the last clear to the clean colour, in whole chunks: every
    // pixel outside it holds that colour (its top byte aside). A presenter compares it
    // with the last frame's to show only what changed.
    const CDirtyChunks& Written() const { return m_dirty; }
    uint32_t Pixel(int32_t x, int32_t y) const { return m_pPixels[size_t(y) * m_nWidth + x]; }

    // With DDBLTFAST_SRCCOLORKEY, source pixels equal to the source's colour key are skipped.
    void SetColorKey(uint32_t key);
    bool HasColorKey() const { return m_bHasColorKey; }
    uint32_t ColorKey() const { return m_colorKey; }

    // Copies srcRect of src to (x, y), clipped to both surfaces; never stretches.
    HRESULT BltFast(int32_t x, int32_t y, const CSurface& src, const RECT& srcRect, uint32_t flags);
    // Scales the whole of src onto the whole of this surface, nearest pixel.
    void StretchFrom(const CSurface& src, const RECT& srcRect);
    // Scales the whole of src onto the whole of this surface, each pixel blended from the
    // four nearest of src. Where src has a colour key, pixels that mostly cover keyed ones
    // come out as the key, the others blend only what src shows.
    void BlendFrom(const CSurface& src);
    void Fill(uint32_t color);
    // Clipped to the surface. Filling with the colour of the last whole-surface fill
    // rewrites only what was written since.
    void FillRect(const RECT& rect, uint32_t color);
    // Memory surfaces cannot be lost here; kept so callers follow one protocol.
    HRESULT Restore() { return DD_OK; }

private:
    // Opaque stretches of a keyed source, so a keyed blit copies whole runs. Measured
    // against testing each pixel against the key: the title's paint 125 against 152 us,
    // about 9 % of the game's CPU on the title.
    struct Run {
        int32_t y, x0, x1;  // x1 exclusive
    };
    const std::vector<Run>& KeyedRuns() const;
    // Four of this surface's pixels weighed together, keyed ones left out (BlendFrom).
    uint32_t Blend(const uint32_t* samples, const float* weights) const;
    HRESULT BltKeyed(int32_t x, int32_t y, const CSurface& src, const RECT& srcRect);

    int32_t m_nWidth;
    int32_t m_nHeight;
    std::vector<uint32_t> m_own;
    std::shared_ptr<uint32_t> m_shared;
    uint32_t* m_pPixels;
    CDirtyChunks m_dirty;
    uint32_t m_cleanColor = 0;  // what every unmarked chunk holds
    uint32_t m_colorKey = 0;
    bool m_bHasColorKey = false;
    // Built on the first keyed blit; every write through this class drops them.
    mutable std::vector<Run> m_runs;
    mutable bool m_bRunsValid = false;
};
