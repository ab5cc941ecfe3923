#pragma once
// What may have changed on screen from one shown frame to the next, so a present sends
// the display server only that. A frame's surface knows what was written since its clear
// (CSurface::Written); every other pixel holds the clear colour. So a pixel that neither
// this frame nor the last one wrote is the same in both, and the rest is the damage.
//
// Window thread only. Keeps a copy of the marks of the last frame passed to Collect.
#include <optional>
#include <vector>

#include "platform/DirtyChunks.h"
#include "platform/Rect.h"

class CSurface;

// Stretches of rows gathered into few rectangles, for a display server that clips a put to
// a list of them: each band of kBand rows gets one rectangle per group of its stretches
// that lie closer than kGap. A thin slanted line would otherwise cost a rectangle a row,
// and the server's cost per rectangle outweighs the pixels a band adds.
class CDamageRects {
public:
    static constexpr int32_t kBand = 4;  // rows
    static constexpr int32_t kGap = 16;  // pixels

    // Rows in increasing order (a row may come again); x1 exclusive.
    void Add(int32_t y, int32_t x0, int32_t x1);
    // Everything added since the last Take, as rectangles that do not overlap; empty when
    // nothing was.
    std::vector<RECT> Take();

private:
    void EndBand();

    std::vector<RECT> m_done;
    std::vector<RECT> m_band;  // the current band's stretches, left to right, kGap apart
    int32_t m_nBand = -1;
    int32_t m_nTop = 0;        // the band's first and one past its last row added
    int32_t m_nBottom = 0;
};

class CFrameDamage {
public:
    // The stretches of frame that may differ from the last frame passed here, in visit(y,
    // x0, x1) calls, row by row (x1 exclusive); the whole frame the first time, after a
    // size change and after Forget.
    template <typename Visit>
    void Collect(const CSurface& frame, Visit&& visit);
    // The screen no longer shows the last frame (a window system's repaint, a new size).
    void Forget() { m_last.reset(); }

private:
    std::optional<CDirtyChunks> m_last;
};

#include "platform/Surface.h"

template <typename Visit>
void CFrameDamage::Collect(const CSurface& frame, Visit&& visit)
{
    const CDirtyChunks& written = frame.Written();
    if (!m_last || m_last->Width() != written.Width() || m_last->Height() != written.Height()) {
        for (int32_t y = 0; y < frame.Height(); ++y) visit(y, 0, frame.Width());
    } else {
        m_last->Merge(written);
        m_last->ForEachMarked(visit);
    }
    m_last = written;
}
