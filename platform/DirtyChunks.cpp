#include "platform/DirtyChunks.h"

#include <cassert>

CDirtyChunks::CDirtyChunks(int32_t width, int32_t height)
    : m_nWidth(width), m_nHeight(height), m_nWords(((width + kChunk - 1) / kChunk + 63) / 64),
      m_bits(size_t(m_nWords) * size_t(height), 0)
{
    assert(width >= 1 && height >= 1);
    MarkAll();
}

void CDirtyChunks::MarkAll()
{
    for (int32_t y = 0; y < m_nHeight; ++y) Mark(y, 0, m_nWidth - 1);
}

void CDirtyChunks::MarkWide(uint64_t* row, int32_t c0, int32_t c1)
{
    row[c0 >> 6] |= Bits(c0 & 63, 63);
    for (int32_t w = (c0 >> 6) + 1; w < (c1 >> 6); ++w) row[w] = ~0ull;
    row[c1 >> 6] |= Bits(0, c1 & 63);
}
