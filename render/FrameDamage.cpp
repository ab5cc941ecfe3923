#include "render/FrameDamage.h"

#include <algorithm>
#include <cassert>

void CDamageRects::Add(int32_t y, int32_t x0, int32_t x1)
{
    assert(y >= m_y && x0 < x1);
    if (y != m_y) {
        EndRow();
        // A row skipped closes every rectangle.
        if (y != m_y + 1) m_done.insert(m_done.end(), m_open.begin(), m_open.end()), m_open.clear();
        m_y = y;
    }
    if (!m_row.empty() && x0 - m_row.back().right < kGap) {
        m_row.back().right = std::max(m_row.back().right, x1);
        return;
    }
    m_row.push_back({x0, y, x1, y + 1});
}

// The row's stretches continue the open rectangles they match; the others close.
void CDamageRects::EndRow()
{
    std::vector<RECT> open;
    open.reserve(m_row.size());
    for (RECT stretch : m_row) {
        const auto same = std::find_if(m_open.begin(), m_open.end(), [&](const RECT& rect) {
            return rect.left == stretch.left && rect.right == stretch.right;
        });
        if (same != m_open.end()) {
            stretch.top = same->top;
            m_open.erase(same);
        }
        open.push_back(stretch);
    }
    m_done.insert(m_done.end(), m_open.begin(), m_open.end());
    m_open = std::move(open);
    m_row.clear();
}

std::vector<RECT> CDamageRects::Take()
{
    EndRow();
    m_done.insert(m_done.end(), m_open.begin(), m_open.end());
    m_open.clear();
    m_y = -1;
    return std::exchange(m_done, {});
}
