#include "platform/soft3d/Clipper.h"

#include <algorithm>

namespace {

ClipVertex Lerp(const ClipVertex& a, const ClipVertex& b, float t)
{
    return {a.x + t * (b.x - a.x), a.y + t * (b.y - a.y), a.z + t * (b.z - a.z),
            a.w + t * (b.w - a.w), a.r + t * (b.r - a.r), a.g + t * (b.g - a.g),
            a.b + t * (b.b - a.b)};
}

}  // namespace

void CClipper::SetVisibleWindow(float left, float right, float bottom, float top)
{
    const float width = right - left, height = top - bottom;
    const float planes[kPlanes][4] = {
        {0, 0, 1, 0},                      // near: z >= 0
        {0, 0, -1, 1},                     // far: z <= w
        {0, 0, 0, 1},                      // w >= kMinW, with the offset in Distance
        {1, 0, 0, -(left - width)},        // x/w >= guard left
        {-1, 0, 0, right + width},         // x/w <= guard right
        {0, 1, 0, -(bottom - height)},     // y/w >= guard bottom
        {0, -1, 0, top + height},          // y/w <= guard top
    };
    for (int p = 0; p < kPlanes; ++p)
        for (int i = 0; i < 4; ++i) m_planes[p][i] = planes[p][i];
}

float CClipper::Distance(int plane, const ClipVertex& v) const
{
    const float* const p = m_planes[plane];
    const float d = p[0] * v.x + p[1] * v.y + p[2] * v.z + p[3] * v.w;
    return plane == 2 ? d - kMinW : d;
}

uint32_t CClipper::Outcode(const ClipVertex& v) const
{
    uint32_t code = 0;
    for (int p = 0; p < kPlanes; ++p) {
        if (!(Distance(p, v) >= 0.0f)) code |= 1u << p;
    }
    return code;
}

int CClipper::ClipTriangle(const ClipVertex& a, const ClipVertex& b, const ClipVertex& c,
                           uint32_t mask, ClipVertex* out) const
{
    ClipVertex buffers[2][kMaxPolygon];
    buffers[0][0] = a;
    buffers[0][1] = b;
    buffers[0][2] = c;
    int count = 3, from = 0;
    for (int p = 0; p < kPlanes && count > 0; ++p) {
        if (!(mask & (1u << p))) continue;
        const ClipVertex* const src = buffers[from];
        ClipVertex* const dst = buffers[1 - from];
        int kept = 0;
        for (int i = 0; i < count; ++i) {
            const ClipVertex& s = src[i];
            const ClipVertex& e = src[(i + 1) % count];
            const float ds = Distance(p, s), de = Distance(p, e);
            if (ds >= 0.0f) dst[kept++] = s;
            if ((ds >= 0.0f) != (de >= 0.0f) && kept < kMaxPolygon) dst[kept++] = Lerp(s, e, ds / (ds - de));
        }
        count = kept >= 3 ? kept : 0;
        from = 1 - from;
    }
    for (int i = 0; i < count; ++i) out[i] = buffers[from][i];
    return count;
}

bool CClipper::ClipLine(ClipVertex& a, ClipVertex& b, uint32_t mask) const
{
    float t0 = 0.0f, t1 = 1.0f;
    for (int p = 0; p < kPlanes; ++p) {
        if (!(mask & (1u << p))) continue;
        const float da = Distance(p, a), db = Distance(p, b);
        if (!(da >= 0.0f) && !(db >= 0.0f)) return false;
        if (da < 0.0f) t0 = std::max(t0, da / (da - db));
        else if (db < 0.0f) t1 = std::min(t1, da / (da - db));
    }
    if (!(t0 < t1)) return false;
    const ClipVertex start = Lerp(a, b, t0), end = Lerp(a, b, t1);
    a = start;
    b = end;
    return true;
}
