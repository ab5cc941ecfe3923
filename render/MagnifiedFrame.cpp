#include "render/MagnifiedFrame.h"

#include <algorithm>
#include <cassert>
#include <cstring>

#include "platform/Surface.h"

namespace {
// Opaque, for a compositor that reads the top byte.
constexpr uint32_t kBorder = 0xFF000000u;
}  // namespace

CMagnifiedFrame::CMagnifiedFrame(std::unique_ptr<CSurface> view) : m_pView(std::move(view))
{
    assert(m_pView != nullptr);
}

CMagnifiedFrame::~CMagnifiedFrame() = default;

CMagnifiedFrame::Placement CMagnifiedFrame::Place(int32_t width, int32_t height, const RECT& srcRect)
{
    Placement place{srcRect, 1, 0, 0};
    place.scale = std::max(1, std::min(width / srcRect.Width(), height / srcRect.Height()));
    place.part.right = srcRect.left + std::min(srcRect.Width(), width);
    place.part.bottom = srcRect.top + std::min(srcRect.Height(), height);
    place.x = (width - place.part.Width() * place.scale) / 2;
    place.y = (height - place.part.Height() * place.scale) / 2;
    return place;
}

std::vector<RECT> CMagnifiedFrame::Update(const CSurface& frame, const RECT& srcRect)
{
    assert(srcRect.Width() >= 1 && srcRect.Height() >= 1);
    const Placement place = Place(m_pView->Width(), m_pView->Height(), srcRect);
    const bool whole = m_bWhole || !(place == m_placement);
    if (whole) {
        m_pView->Fill(kBorder);
        m_damage.Forget();
        m_placement = place;
        m_bWhole = false;
    }
    // Once per update, not per block: the view is never cleared, so its marks say nothing.
    m_pPixels = m_pView->Pixels();
    CDamageRects changed;
    const RECT& part = place.part;
    m_damage.Collect(frame, [&](int32_t y, int32_t x0, int32_t x1) {
        if (y < part.top || y >= part.bottom) return;
        x0 = std::max(x0, part.left), x1 = std::min(x1, part.right);
        if (x0 < x1) CopyRow(frame, y, x0, x1, changed);
    });
    if (whole) return {RECT{0, 0, m_pView->Width(), m_pView->Height()}};
    std::vector<RECT> rects = changed.Take();
    const int32_t k = place.scale;
    for (RECT& rect : rects) {
        rect = {place.x + (rect.left - part.left) * k, place.y + (rect.top - part.top) * k,
                place.x + (rect.right - part.left) * k, place.y + (rect.bottom - part.top) * k};
    }
    return rects;
}

void CMagnifiedFrame::CopyRow(const CSurface& frame, int32_t y, int32_t x0, int32_t x1, CDamageRects& changed)
{
    const Placement& place = m_placement;
    const int32_t k = place.scale;
    const uint32_t* const in = frame.Pixels() + size_t(y) * frame.Width() + place.part.left;
    uint32_t* const out = m_pPixels + size_t(place.y + (y - place.part.top) * k) * m_pView->Width() + place.x;
    const auto differs = [&](int32_t x) { return in[x] != out[x * k]; };
    // Indices from the part's left edge.
    for (int32_t x = x0 - place.part.left, end = x1 - place.part.left; x < end;) {
        // Unmagnified, most of what was written again is the same: skip it eight at a time.
        if (k == 1) {
            while (x + 8 <= end && std::memcmp(in + x, out + x, 8 * sizeof *in) == 0) x += 8;
        }
        if (x == end) break;
        if (!differs(x)) {
            ++x;
            continue;
        }
        const int32_t start = x;
        while (x < end && differs(x)) ++x;
        CopyRun(in + start, out + start * k, x - start);
        changed.Add(y, start + place.part.left, x + place.part.left);
    }
}

// count pixels from in, each as a block of the view from out on (its top-left corner).
void CMagnifiedFrame::CopyRun(const uint32_t* in, uint32_t* out, int32_t count) const
{
    const int32_t k = m_placement.scale, width = count * k;
    for (int32_t i = 0; i < width; ++i) out[i] = in[i / k];
    for (int32_t row = 1; row < k; ++row) std::copy(out, out + width, out + size_t(row) * m_pView->Width());
}
