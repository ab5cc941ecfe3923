#include "render/FrameDamage.h"

#include <algorithm>
#include <cassert>

void CDamageRects::Add(int32_t y, int32_t x0, int32_t x1)
{
    assert(y >= m_nBottom - 1 && x0 < x1);
    if (y / kBand != m_nBand) {
        EndBand();
        m_nBand = y / kBand;
        m_nTop = y;
    }
    m_nBottom = y + 1;
    // Stretches of one row come left to right, but a later row's may start anywhere.
    auto at = std::lower_bound(m_band.begin(), m_band.end(), x0,
                               [](const RECT& rect, int32_t x) { return rect.right + kGap <= x; });
    if (at == m_band.end() || at->left > x1 + kGap) {
        m_band.insert(at, RECT{x0, 0, x1, 0});
        return;
    }
    at->left = std::min(at->left, x0);
    at->right = std::max(at->right, x1);
    // The wider stretch may now reach the ones after it.
    auto next = at + 1;
    while (next != m_band.end() && next->left <= at->right + kGap) {
        at->right = std::max(at->right, next->right);
        next = m_band.erase(next);
    }
}

void CDamageRects::EndBand()
{
    for (const RECT& stretch : m_band) m_done.push_back({stretch.left, m_nTop, stretch.right, m_nBottom});
    m_band.clear();
}

std::vector<RECT> CDamageRects::Take()
{
    EndBand();
    m_nBand = -1;
    m_nBottom = 0;
    return std::exchange(m_done, {});
}
