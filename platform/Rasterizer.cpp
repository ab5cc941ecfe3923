#include "platform/Rasterizer.h"

#include <algorithm>
#include <cmath>

#include "platform/DepthBuffer.h"
#include "platform/Surface.h"

namespace {

// Vertices snap to 1/16 pixel, so edge tests are exact integer arithmetic and shared
// edges are decided the same way for both triangles that meet there.
constexpr float kSubpixels = 16.0f;

bool Usable(const RasterVertex& v)
{
    return std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z) &&
           std::fabs(v.x) <= CRasterizer::kMaxCoordinate && std::fabs(v.y) <= CRasterizer::kMaxCoordinate;
}

int64_t FloorDiv(int64_t a, int64_t k)  // k > 0
{
    return a >= 0 ? a / k : -((-a + k - 1) / k);
}

int64_t CeilDiv(int64_t a, int64_t k)  // k > 0
{
    return -FloorDiv(-a, k);
}

// One edge a->b of a clockwise triangle; E(P) = dx*(Py - ya) - dy*(Px - xa) is positive inside.
struct Edge {
    int64_t dx, dy, xa, ya, bias;

    Edge(int64_t xA, int64_t yA, int64_t xB, int64_t yB)
        : dx(xB - xA), dy(yB - yA), xa(xA), ya(yA)
    {
        const bool topLeft = dy < 0 || (dy == 0 && dx > 0);
        bias = topLeft ? 0 : -1;  // pixels exactly on the edge belong to top and left edges only
    }

    // Narrows [lo, hi] to the pixels of the row at fixed-point height py16 inside this edge.
    void Limit(int64_t py16, int64_t& lo, int64_t& hi) const
    {
        const int64_t c = dx * (py16 - ya) + dy * xa + bias;  // E + bias = c - 16*dy*px
        const int64_t k = int64_t(kSubpixels) * dy;
        if (dy == 0) {
            if (c < 0) hi = lo - 1;
        } else if (dy < 0) {
            lo = std::max(lo, CeilDiv(-c, -k));
        } else {
            hi = std::min(hi, FloorDiv(c, k));
        }
    }
};

// Colours step in 16.16 fixed point; +0.5 rounds, and the clamp keeps the whole part a byte.
int32_t ToFixed(float channel)
{
    return int32_t((std::clamp(channel, 0.0f, 255.0f) + 0.5f) * 65536.0f);
}

uint32_t PackFixed(int32_t r, int32_t g, int32_t b)
{
    return (uint32_t(r) & 0xFF0000u) | ((uint32_t(g) >> 8) & 0xFF00u) | (uint32_t(b) >> 16);
}

}  // namespace

// A value over the triangle as v(x, y) = base + dx*(x - x0) + dy*(y - y0).
struct CRasterizer::Gradient {
    float x0, y0;
    float base[4], dx[4], dy[4];  // z, r, g, b

    // twiceArea: twice the area in 1/256ths of a square pixel, exact and positive. Recomputed
    // in float it can cancel to 0 for a long sliver and make every gradient NaN.
    Gradient(const RasterVertex& a, const RasterVertex& b, const RasterVertex& c, float ax,
             float ay, float bx, float by, float cx, float cy, int64_t twiceArea)
        : x0(ax), y0(ay)
    {
        const float d1x = bx - ax, d1y = by - ay, d2x = cx - ax, d2y = cy - ay;
        const float inv = float(double(kSubpixels * kSubpixels) / double(twiceArea));
        const float va[4] = {a.z, a.r, a.g, a.b}, vb[4] = {b.z, b.r, b.g, b.b},
                    vc[4] = {c.z, c.r, c.g, c.b};
        for (int i = 0; i < 4; ++i) {
            const float d1 = vb[i] - va[i], d2 = vc[i] - va[i];
            base[i] = va[i];
            dx[i] = (d1 * d2y - d2 * d1y) * inv;
            dy[i] = (d2 * d1x - d1 * d2x) * inv;
        }
    }

    float At(int i, float x, float y) const { return base[i] + dx[i] * (x - x0) + dy[i] * (y - y0); }
};

CRasterizer::CRasterizer(CSurface& target, CDepthBuffer& depth)
    : m_target(target), m_depthBuffer(depth), m_pixels(target.WritablePixels()),
      m_depth(depth.WritableData()), m_nStride(target.Width()),
      m_bounds{0, 0, std::min(target.Width(), depth.Width()), std::min(target.Height(), depth.Height())},
      m_scissor(m_bounds)
{
}

void CRasterizer::SetScissor(const RECT& rect)
{
    m_scissor.left = std::clamp(rect.left, 0, m_bounds.right);
    m_scissor.top = std::clamp(rect.top, 0, m_bounds.bottom);
    m_scissor.right = std::clamp(rect.right, m_scissor.left, m_bounds.right);
    m_scissor.bottom = std::clamp(rect.bottom, m_scissor.top, m_bounds.bottom);
}

void CRasterizer::DrawTriangle(const RasterVertex& a, const RasterVertex& b, const RasterVertex& c)
{
    if (!Usable(a) || !Usable(b) || !Usable(c)) return;
    const int64_t xa = std::lrint(a.x * kSubpixels), ya = std::lrint(a.y * kSubpixels);
    const int64_t xb = std::lrint(b.x * kSubpixels), yb = std::lrint(b.y * kSubpixels);
    const int64_t xc = std::lrint(c.x * kSubpixels), yc = std::lrint(c.y * kSubpixels);
    const int64_t twiceArea = (xb - xa) * (yc - ya) - (yb - ya) * (xc - xa);
    if (twiceArea <= 0) return;  // back face or degenerate

    const Edge edges[3] = {Edge(xb, yb, xc, yc), Edge(xc, yc, xa, ya), Edge(xa, ya, xb, yb)};
    const Gradient gradient(a, b, c, xa / kSubpixels, ya / kSubpixels, xb / kSubpixels,
                            yb / kSubpixels, xc / kSubpixels, yc / kSubpixels, twiceArea);
    const int64_t sub = int64_t(kSubpixels);
    const int64_t top = std::max<int64_t>(CeilDiv(std::min({ya, yb, yc}), sub), m_scissor.top);
    const int64_t bottom = std::min<int64_t>(FloorDiv(std::max({ya, yb, yc}), sub), m_scissor.bottom - 1);
    for (int64_t y = top; y <= bottom; ++y) {
        int64_t lo = m_scissor.left, hi = m_scissor.right - 1;
        for (const Edge& edge : edges) edge.Limit(y * sub, lo, hi);
        if (lo <= hi) FillSpan(int32_t(y), int32_t(lo), int32_t(hi), gradient);
    }
}

void CRasterizer::FillSpan(int32_t y, int32_t x0, int32_t x1, const Gradient& gradient)
{
    const float fx = float(x0), fy = float(y), last = float(x1);
    const int32_t n = x1 - x0;
    float z = gradient.At(0, fx, fy);
    const float dz = gradient.dx[0];
    int32_t channel[3], step[3];
    for (int i = 0; i < 3; ++i) {
        channel[i] = ToFixed(gradient.At(i + 1, fx, fy));
        step[i] = n > 0 ? (ToFixed(gradient.At(i + 1, last, fy)) - channel[i]) / n : 0;
    }
    m_target.MarkWritten(y, x0, x1);
    if (m_bDepthTest) m_depthBuffer.MarkWritten(y, x0, x1);
    uint32_t* const pixels = m_pixels + size_t(y) * m_nStride;
    float* const depth = m_depth + size_t(y) * m_nStride;
    int32_t r = channel[0], g = channel[1], b = channel[2];
    for (int32_t x = x0; x <= x1; ++x, z += dz, r += step[0], g += step[1], b += step[2]) {
        if (m_bDepthTest) {
            if (!(z <= depth[x])) continue;
            depth[x] = z;
        }
        pixels[x] = PackFixed(r, g, b);
    }
}

void CRasterizer::DrawLine(const RasterVertex& a, const RasterVertex& b)
{
    if (!Usable(a) || !Usable(b)) return;
    const bool xMajor = std::fabs(b.x - a.x) >= std::fabs(b.y - a.y);
    const float start = xMajor ? a.x : a.y, along = xMajor ? b.x - a.x : b.y - a.y;
    const float across0 = xMajor ? a.y : a.x, across = xMajor ? b.y - a.y : b.x - a.x;
    const int32_t first = int32_t(std::floor(start + 0.5f));
    const int32_t end = int32_t(std::floor(start + along + 0.5f));
    if (first == end) return;
    const int32_t lastPixel = end > first ? end - 1 : end + 1;
    const int32_t majorMin = xMajor ? m_scissor.left : m_scissor.top;
    const int32_t majorMax = (xMajor ? m_scissor.right : m_scissor.bottom) - 1;
    const int32_t minorMin = xMajor ? m_scissor.top : m_scissor.left;
    const int32_t minorMax = (xMajor ? m_scissor.bottom : m_scissor.right) - 1;
    const int32_t lo = std::max(std::min(first, lastPixel), majorMin);
    const int32_t hi = std::min(std::max(first, lastPixel), majorMax);
    // Lines of one colour (all the track's) skip the per-pixel blend; it would give the
    // same value, since t * 0 is 0 for every t here.
    const bool flat = a.r == b.r && a.g == b.g && a.b == b.b;
    const uint32_t colour = PackFixed(ToFixed(a.r), ToFixed(a.g), ToFixed(a.b));
    for (int32_t i = lo; i <= hi; ++i) {
        const float t = std::clamp((float(i) - start) / along, 0.0f, 1.0f);
        const int32_t j = int32_t(std::floor(across0 + t * across + 0.5f));
        if (j < minorMin || j > minorMax) continue;
        const int32_t x = xMajor ? i : j, y = xMajor ? j : i;
        const size_t at = size_t(y) * m_nStride + x;
        const float z = a.z + t * (b.z - a.z);
        if (m_bDepthTest) {
            if (!(z <= m_depth[at])) continue;
            m_depth[at] = z;
            m_depthBuffer.MarkWritten(y, x, x);
        }
        m_target.MarkWritten(y, x, x);
        m_pixels[at] = flat ? colour
                            : PackFixed(ToFixed(a.r + t * (b.r - a.r)), ToFixed(a.g + t * (b.g - a.g)),
                                        ToFixed(a.b + t * (b.b - a.b)));
    }
}
