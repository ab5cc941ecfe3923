#include "platform/DepthBuffer.h"

#include <algorithm>
#include <bit>
#include <cassert>

CDepthBuffer::CDepthBuffer(int32_t width, int32_t height)
    : m_nWidth(width), m_nHeight(height), m_depth(size_t(width) * size_t(height), 1.0f), m_dirty(width, height)
{
    assert(width >= 1 && height >= 1);
}

void CDepthBuffer::FillRect(int32_t left, int32_t top, int32_t right, int32_t bottom, float z)
{
    assert(left >= 0 && top >= 0 && right <= m_nWidth && bottom <= m_nHeight);
    if (left >= right || top >= bottom) return;
    const auto fill = [this, z](int32_t y, int32_t x0, int32_t x1) {
        FillRun(m_depth.data() + size_t(y) * m_nWidth + x0, x1 - x0, z);
    };
    // Compared bit for bit: a NaN clear never matches, and -0 is not 0.
    if (std::bit_cast<uint32_t>(z) == std::bit_cast<uint32_t>(m_cleanDepth)) {
        m_dirty.ClearMarked(left, top, right, bottom, fill);
        return;
    }
    for (int32_t y = top; y < bottom; ++y) fill(y, left, right);
    if (left == 0 && top == 0 && right == m_nWidth && bottom == m_nHeight) {
        m_dirty.ClearMarked(0, 0, m_nWidth, m_nHeight, [](int32_t, int32_t, int32_t) {});
        m_cleanDepth = z;
        return;
    }
    for (int32_t y = top; y < bottom; ++y) m_dirty.Mark(y, left, right - 1);
}
