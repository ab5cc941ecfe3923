#pragma once
// Scan conversion for the software 3D device: Gouraud-shaded, depth-tested triangles and
// lines written into a pixel surface and its depth buffer.
//
// Every stretch written is reported to the target and the depth buffer, so their next
// clear rewrites only what was drawn.
// Coordinates are screen pixels with pixel centres on whole numbers, y growing downward.
// Triangles follow the top-left fill rule, so two triangles sharing an edge never both
// cover a pixel on it. Nothing outside the scissor rectangle is ever written.
// The caller has already clipped primitives to a guard band around the scissor; anything
// farther out than kMaxCoordinate or not finite is dropped rather than risk overflow.
#include <cstdint>

#include "platform/Rect.h"

class CSurface;
class CDepthBuffer;

struct RasterVertex {
    float x = 0, y = 0;    // pixels
    float z = 0;           // depth: 0 near .. 1 far
    float r = 0, g = 0, b = 0;  // 0..255
};

class CRasterizer {
public:
    static constexpr float kMaxCoordinate = 65536.0f;

    // Both buffers have the same size and outlive the rasteriser.
    CRasterizer(CSurface& target, CDepthBuffer& depth);

    // Clipped to the target; an empty rectangle draws nothing.
    void SetScissor(const RECT& rect);
    const RECT& Scissor() const { return m_scissor; }
    // Off: every covered pixel is written and the depth buffer is left alone.
    void SetDepthTest(bool enabled) { m_bDepthTest = enabled; }

    // Only triangles running clockwise on screen are drawn; counter-clockwise and
    // degenerate ones are culled.
    void DrawTriangle(const RasterVertex& a, const RasterVertex& b, const RasterVertex& c);
    // The end pixel is left out, so a strip of lines draws each shared end once.
    void DrawLine(const RasterVertex& a, const RasterVertex& b);

private:
    struct Gradient;
    void FillSpan(int32_t y, int32_t x0, int32_t x1, const Gradient& gradient);
    struct Line;
    template <bool kXMajor, bool kDepthTest, bool kFlat>
    void DrawLinePixels(const Line& line);
    template <bool kXMajor>
    struct MarkRun;
    template <bool kXMajor, bool kDepthTest>
    void Mark(const MarkRun<kXMajor>& run);
    template <bool kXMajor, bool kDepthTest>
    void Written(MarkRun<kXMajor>& run, int32_t x0, int32_t x1, int32_t y);

    CSurface& m_target;
    CDepthBuffer& m_depthBuffer;
    uint32_t* m_pixels;
    float* m_depth;
    int32_t m_nStride;
    RECT m_bounds;
    RECT m_scissor;
    bool m_bDepthTest = true;
};
