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

void CDirtyChunks::Merge(const CDirtyChunks& other)
{
    assert(other.m_nWidth == m_nWidth && other.m_nHeight == m_nHeight);
    for (size_t i = 0; i < m_bits.size(); ++i) m_bits[i] |= other.m_bits[i];
}

void CDirtyChunks::MarkWide(uint64_t* row, int32_t c0, int32_t c1)
{
    row[c0 >> 6] |= Bits(c0 & 63, 63);
    for (int32_t w = (c0 >> 6) + 1; w < (c1 >> 6); ++w) row[w] = ~0ull;
    row[c1 >> 6] |= Bits(0, c1 & 63);
}

int32_t CDirtyChunks::RunEnd(const uint64_t* row, int32_t c) const
{
    const int32_t chunks = (m_nWidth + kChunk - 1) >> kChunkShift;
    while (c < chunks) {
        const uint64_t unmarked = ~row[c >> 6] >> (c & 63);  // the word's tail, zeros filled in
        const int32_t inWord = 64 - (c & 63);
        const int32_t run = std::min(unmarked == 0 ? 64 : int32_t(std::countr_zero(unmarked)), inWord);
        c += run;
        if (run < inWord) break;
    }
    return std::min(c, chunks);
}

void CDirtyChunks::Unmark(uint64_t* row, int32_t c0, int32_t c1)
{
    for (int32_t c = c0; c < c1;) {
        const int32_t lastInWord = std::min(c1 - 1, c | 63);
        row[c >> 6] &= ~Bits(c & 63, lastInWord & 63);
        c = lastInWord + 1;
    }
}
