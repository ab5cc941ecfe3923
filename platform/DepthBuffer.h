#pragma once
// A float depth buffer the size of a render target: z/w per pixel, 0 nearest, 1 farthest.
// The display creates it beside the back buffer and hands both to the 3D device, which
// tests and writes it, reporting each written stretch with MarkWritten so that a clear
// to the same depth rewrites only those. Not thread-safe: the window thread alone draws.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "platform/DirtyChunks.h"

class CDepthBuffer {
public:
    CDepthBuffer(int32_t width, int32_t height);  // both >= 1; starts cleared to 1.0

    int32_t Width() const { return m_nWidth; }
    int32_t Height() const { return m_nHeight; }
    // For writing: counts the whole buffer as written. Use DepthCallerMarks to say better.
    float* Data()
    {
        m_dirty.MarkAll();
        return m_depth.data();
    }
    // Marks nothing: the caller reports every change it makes through this pointer with
    // MarkWritten, or the next clear leaves it in the buffer.
    float* DepthCallerMarks() { return m_depth.data(); }
    const float* Data() const { return m_depth.data(); }
    float Depth(int32_t x, int32_t y) const { return m_depth[size_t(y) * m_nWidth + x]; }
    // Entries x0..x1 (inclusive, inside the buffer) of row y were written.
    void MarkWritten(int32_t y, int32_t x0, int32_t x1) { m_dirty.Mark(y, x0, x1); }

    // Rows top..bottom-1, columns left..right-1; the caller has clipped them to the buffer.
    void FillRect(int32_t left, int32_t top, int32_t right, int32_t bottom, float z);

private:
    int32_t m_nWidth;
    int32_t m_nHeight;
    std::vector<float> m_depth;
    CDirtyChunks m_dirty;
    float m_cleanDepth = 1.0f;  // what every unmarked chunk holds
};
