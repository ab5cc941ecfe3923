#pragma once
// Clipping in homogeneous clip space, before the perspective divide, for the software
// 3D device. A point behind the eye has w < 0; a test made after the divide would let it
// through mirrored across the screen, so every primitive is cut here first.
//
// Planes, each keeping the side where its distance is >= 0: near (z >= 0), far (z <= w),
// w >= kMinW, and four guard-band planes a whole viewport beyond each screen edge. The
// guard band keeps projected coordinates small enough for exact edge arithmetic while
// sparing most triangles that only overhang the screen; the rasteriser's scissor trims
// the rest.
#include <cstdint>

struct ClipVertex {
    float x = 0, y = 0, z = 0, w = 0;
    float r = 0, g = 0, b = 0;  // carried along and interpolated with the position
};

class CClipper {
public:
    static constexpr int kPlanes = 7;
    static constexpr int kMaxPolygon = 3 + kPlanes;  // each plane adds at most one vertex
    static constexpr float kMinW = 1e-5f;

    // The visible window in x/w and y/w (top > bottom, as the viewport's clip volume).
    void SetVisibleWindow(float left, float right, float bottom, float top);

    // Bit n set: outside plane n. NaN coordinates are outside every plane.
    uint32_t Outcode(const ClipVertex& v) const;
    // Clips a triangle against the planes in mask; out gets the polygon (kMaxPolygon room),
    // in the triangle's winding. Returns its vertex count, 0 or 3..kMaxPolygon.
    int ClipTriangle(const ClipVertex& a, const ClipVertex& b, const ClipVertex& c, uint32_t mask,
                     ClipVertex* out) const;
    // Shortens the segment to the planes in mask; false when nothing of it is left.
    bool ClipLine(ClipVertex& a, ClipVertex& b, uint32_t mask) const;

private:
    float Distance(int plane, const ClipVertex& v) const;

    float m_planes[kPlanes][4] = {};  // distance = p[0]*x + p[1]*y + p[2]*z + p[3]*w
};
