#include "platform/DepthBuffer.h"

#include <algorithm>
#include <cassert>

CDepthBuffer::CDepthBuffer(int32_t width, int32_t height)
    : m_nWidth(width), m_nHeight(height), m_depth(size_t(width) * size_t(height), 1.0f), m_dirty(width, height)
{
    assert(width >= 1 && height >= 1);
}

void CDepthBuffer::FillRect(int32_t left, int32_t top, int32_t right, int32_t bottom, float z)
{
    assert(left >= 0 && top >= 0 && right <= m_nWidth && bottom <= m_nHeight);
    m_dirty.Clear(left, top, right, bottom, z, m_cleanDepth, [this, z](int32_t y, int32_t x0, int32_t x1) {
        FillRun(m_depth.data() + size_t(y) * m_nWidth + x0, x1 - x0, z);
    });
}
