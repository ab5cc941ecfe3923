#pragma once
// Which parts of a pixel buffer were written since it was last cleared, so a clear can
// skip what still holds the clear value. Rows are split into chunks of kChunk pixels (one
// cache line of 32-bit pixels); a chunk is marked as a whole. Marks are conservative: a
// marked chunk may hold the clear value, an unmarked one never holds anything else.
//
// Owned by the buffer it describes (CSurface, CDepthBuffer); not thread-safe.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <vector>

class CDirtyChunks {
public:
    static constexpr int32_t kChunkShift = 4;
    static constexpr int32_t kChunk = 1 << kChunkShift;  // pixels

    CDirtyChunks(int32_t width, int32_t height);  // both >= 1; everything starts marked

    // Pixels x0..x1 (inclusive) of row y; the caller has clipped them to the buffer.
    void Mark(int32_t y, int32_t x0, int32_t x1)
    {
        const int32_t c0 = x0 >> kChunkShift, c1 = x1 >> kChunkShift;
        uint64_t* const row = &m_bits[size_t(y) * m_nWords];
        if ((c0 >> 6) == (c1 >> 6)) {
            row[c0 >> 6] |= Bits(c0 & 63, c1 & 63);
            return;
        }
        MarkWide(row, c0, c1);
    }
    void MarkAll();

    // Calls fill(y, x0, x1) (x1 exclusive) for each marked stretch of the rows top..bottom-1
    // inside left..right-1, then forgets the marks of every chunk that lies wholly inside.
    template <typename Fill>
    void ClearMarked(int32_t left, int32_t top, int32_t right, int32_t bottom, Fill&& fill);

private:
    static uint64_t Bits(int32_t first, int32_t last)  // 0 <= first <= last <= 63
    {
        return (~0ull >> (63 - last)) & (~0ull << first);
    }
    void MarkWide(uint64_t* row, int32_t c0, int32_t c1);

    int32_t m_nWidth;
    int32_t m_nWords;  // per row
    std::vector<uint64_t> m_bits;
};

template <typename Fill>
void CDirtyChunks::ClearMarked(int32_t left, int32_t top, int32_t right, int32_t bottom, Fill&& fill)
{
    for (int32_t y = top; y < bottom; ++y) {
        uint64_t* const row = &m_bits[size_t(y) * m_nWords];
        if (m_nWords == 1 && row[0] == 0) continue;
        int32_t runStart = -1;
        for (int32_t c = left >> kChunkShift, last = (right - 1) >> kChunkShift; c <= last + 1; ++c) {
            const bool marked = c <= last && (row[c >> 6] >> (c & 63) & 1u);
            if (marked && runStart < 0) runStart = c;
            if (marked || runStart < 0) continue;
            const int32_t x0 = std::max(runStart << kChunkShift, left);
            const int32_t x1 = std::min(c << kChunkShift, right);
            fill(y, x0, x1);
            for (int32_t k = runStart; k < c; ++k) {
                const bool whole = (k << kChunkShift) >= x0 && std::min((k + 1) << kChunkShift, m_nWidth) <= x1;
                if (whole) row[k >> 6] &= ~(1ull << (k & 63));
            }
            runStart = -1;
        }
    }
}
