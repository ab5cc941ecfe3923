#include "platform/soft3d/Rasterizer.h"

#include <algorithm>
#include <cmath>
// The SSE2 lines, measured against their scalar twins: the title's paint 125 against 190
// us, the busiest frame's 236 against 300 us; the game's CPU 14 % less on the title and
// 9 % less in play. VANTOR_SCALAR_RASTER builds the scalar twins on x86 as well, so that
// the frames other processors draw are tested on this one.
#if defined(__SSE2__) && !defined(VANTOR_SCALAR_RASTER)
#define VANTOR_RASTER_SSE2
#include <emmintrin.h>
#endif

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

// int32_t(std::floor(v)) for |v| < 2^31, without a library call: truncation moves a
// negative fraction up, and beyond 2^23 every float is whole.
int32_t FloorToInt(float v)
{
    const int32_t truncated = int32_t(v);
    return truncated - int32_t(float(truncated) > v);
}

// Four neighbours of a row in one colour, if all four pass the depth test; otherwise
// nothing is written and false returned, for the one-pixel path to decide each.
template <bool kDepthTest>
bool WriteFour(uint32_t* pixels, float* depth, const float* z, uint32_t colour)
{
#if defined(VANTOR_RASTER_SSE2)
    const __m128 depths = _mm_loadu_ps(z);
    if constexpr (kDepthTest) {
        if (_mm_movemask_ps(_mm_cmple_ps(depths, _mm_loadu_ps(depth))) != 15) return false;
        _mm_storeu_ps(depth, depths);
    }
    _mm_storeu_si128(reinterpret_cast<__m128i*>(pixels), _mm_set1_epi32(int32_t(colour)));
    return true;
#else
    static_cast<void>(pixels), static_cast<void>(depth), static_cast<void>(z), static_cast<void>(colour);
    return false;
#endif
}

}  // namespace

// Pixel i along the major axis lies at
//   t = clamp((i - start) / along, 0, 1), minor = floor(across0 + t * across + 0.5),
//   depth z0 + t * dz.
// The golden frames hold exactly these roundings: no reciprocal, no stepping.
struct CRasterizer::Line {
    float start, along, across0, across, z0, dz;
    int32_t lo, hi;  // major range inside the scissor, lo <= hi
    int32_t minorMin, minorMax;
    const RasterVertex* a;
    const RasterVertex* b;
    uint32_t colour;  // a's

    // Pixels i..i+3, from the same formulas in each lane, so the same floats.
    void Points(int32_t i, int32_t* minor, float* t, float* z) const
    {
#if defined(VANTOR_RASTER_SSE2)
        const __m128 major = _mm_cvtepi32_ps(_mm_add_epi32(_mm_set1_epi32(i), _mm_setr_epi32(0, 1, 2, 3)));
        const __m128 ratio = _mm_div_ps(_mm_sub_ps(major, _mm_set1_ps(start)), _mm_set1_ps(along));
        // In this operand order max and min keep a -0 ratio, as std::clamp does.
        const __m128 tt = _mm_min_ps(_mm_set1_ps(1.0f), _mm_max_ps(_mm_setzero_ps(), ratio));
        const __m128 v = _mm_add_ps(_mm_add_ps(_mm_set1_ps(across0), _mm_mul_ps(tt, _mm_set1_ps(across))),
                                    _mm_set1_ps(0.5f));
        // FloorToInt in each lane.
        const __m128i truncated = _mm_cvttps_epi32(v);
        const __m128i below = _mm_castps_si128(_mm_cmplt_ps(v, _mm_cvtepi32_ps(truncated)));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(minor), _mm_add_epi32(truncated, below));
        _mm_storeu_ps(t, tt);
        _mm_storeu_ps(z, _mm_add_ps(_mm_set1_ps(z0), _mm_mul_ps(tt, _mm_set1_ps(dz))));
#else
        for (int32_t k = 0; k < 4; ++k) {
            t[k] = std::clamp((float(i + k) - start) / along, 0.0f, 1.0f);
            minor[k] = FloorToInt(across0 + t[k] * across + 0.5f);
            z[k] = z0 + t[k] * dz;
        }
#endif
    }

    uint32_t Blend(float t) const
    {
        return PackFixed(ToFixed(a->r + t * (b->r - a->r)), ToFixed(a->g + t * (b->g - a->g)),
                         ToFixed(a->b + t * (b->b - a->b)));
    }
};

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
    : m_target(target), m_depthBuffer(depth), m_pixels(target.PixelsCallerMarks()),
      m_depth(depth.DepthCallerMarks()), m_nStride(target.Width()),
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
    Line line;
    line.start = xMajor ? a.x : a.y, line.along = xMajor ? b.x - a.x : b.y - a.y;
    line.across0 = xMajor ? a.y : a.x, line.across = xMajor ? b.y - a.y : b.x - a.x;
    line.z0 = a.z, line.dz = b.z - a.z;
    const int32_t first = FloorToInt(line.start + 0.5f);
    const int32_t end = FloorToInt(line.start + line.along + 0.5f);
    if (first == end) return;
    const int32_t lastPixel = end > first ? end - 1 : end + 1;
    const int32_t majorMin = xMajor ? m_scissor.left : m_scissor.top;
    const int32_t majorMax = (xMajor ? m_scissor.right : m_scissor.bottom) - 1;
    line.minorMin = xMajor ? m_scissor.top : m_scissor.left;
    line.minorMax = (xMajor ? m_scissor.bottom : m_scissor.right) - 1;
    line.lo = std::max(std::min(first, lastPixel), majorMin);
    line.hi = std::min(std::max(first, lastPixel), majorMax);
    line.a = &a, line.b = &b;
    line.colour = PackFixed(ToFixed(a.r), ToFixed(a.g), ToFixed(a.b));
    // Lines of one colour (all the track's) skip the per-pixel blend; it would give the
    // same value, since t * 0 is 0 for every t here.
    const bool flat = a.r == b.r && a.g == b.g && a.b == b.b;
    using Pixels = void (CRasterizer::*)(const Line&);
    static constexpr Pixels kPixels[2][2][2] = {
        {{&CRasterizer::DrawLinePixels<false, false, false>, &CRasterizer::DrawLinePixels<false, false, true>},
         {&CRasterizer::DrawLinePixels<false, true, false>, &CRasterizer::DrawLinePixels<false, true, true>}},
        {{&CRasterizer::DrawLinePixels<true, false, false>, &CRasterizer::DrawLinePixels<true, false, true>},
         {&CRasterizer::DrawLinePixels<true, true, false>, &CRasterizer::DrawLinePixels<true, true, true>}}};
    if (line.lo <= line.hi) (this->*kPixels[xMajor][m_bDepthTest][flat])(line);
}

// Written pixels are marked in runs, since a mark per pixel costs more than the pixel:
// an x-major line's run is a row's stretch, a y-major line's a column of rows in one chunk.
template <bool kXMajor>
struct CRasterizer::MarkRun {
    int32_t minor = -1, first = 0, last = -2;  // x-major: row, x range; y-major: x, y range

    // Pixels x0..x1 of row y (one pixel for a y-major line) were written after the run's.
    bool Extends(int32_t x0, int32_t x1, int32_t y)
    {
        if constexpr (kXMajor) {
            if (y != minor || x0 != last + 1) return false;
            last = x1;
        } else {
            constexpr int32_t kShift = CDirtyChunks::kChunkShift;
            if (y != last + 1 || (x0 >> kShift) != (minor >> kShift)) return false;
            last = y;
        }
        return true;
    }
    void Start(int32_t x0, int32_t x1, int32_t y)
    {
        minor = kXMajor ? y : x0;
        first = kXMajor ? x0 : y;
        last = kXMajor ? x1 : y;
    }
};

template <bool kXMajor, bool kDepthTest>
void CRasterizer::Mark(const MarkRun<kXMajor>& run)
{
    if (run.minor < 0) return;
    if constexpr (kXMajor) {
        m_target.MarkWritten(run.minor, run.first, run.last);
        if (kDepthTest) m_depthBuffer.MarkWritten(run.minor, run.first, run.last);
    } else {
        for (int32_t y = run.first; y <= run.last; ++y) {
            m_target.MarkWritten(y, run.minor, run.minor);
            if (kDepthTest) m_depthBuffer.MarkWritten(y, run.minor, run.minor);
        }
    }
}

template <bool kXMajor, bool kDepthTest>
void CRasterizer::Written(MarkRun<kXMajor>& run, int32_t x0, int32_t x1, int32_t y)
{
    if (run.Extends(x0, x1, y)) return;
    Mark<kXMajor, kDepthTest>(run);
    run.Start(x0, x1, y);
}

template <bool kXMajor, bool kDepthTest, bool kFlat>
void CRasterizer::DrawLinePixels(const Line& line)
{
    // Locals, since a pixel store could otherwise change them for all the compiler knows.
    uint32_t* const pixels = m_pixels;
    float* const depth = m_depth;
    const size_t stride = size_t(m_nStride);
    const int32_t minorMin = line.minorMin, minorMax = line.minorMax, hi = line.hi;
    const uint32_t colour = line.colour;
    MarkRun<kXMajor> run;
    constexpr int32_t kBlock = 32;
    alignas(16) int32_t minor[kBlock];
    alignas(16) float t[kBlock], z[kBlock];
    for (int32_t i0 = line.lo; i0 <= hi; i0 += kBlock) {
        const int32_t n = std::min(kBlock, hi - i0 + 1);
        for (int32_t k = 0; k < n; k += 4) line.Points(i0 + k, minor + k, t + k, z + k);
        for (int32_t k = 0; k < n; ++k) {
            const int32_t j = minor[k];
            if (j < minorMin || j > minorMax) continue;
            const int32_t x = kXMajor ? i0 + k : j, y = kXMajor ? j : i0 + k;
            const size_t at = size_t(y) * stride + size_t(x);
            // Most pixels of the track's x-major lines come four to a row. The row never
            // turns back along a line, so equal ends mean all four share it.
            if (kXMajor && kFlat && k % 4 == 0 && k + 3 < n && minor[k + 3] == j &&
                WriteFour<kDepthTest>(pixels + at, depth + at, z + k, colour)) {
                Written<kXMajor, kDepthTest>(run, x, x + 3, y);
                k += 3;
                continue;
            }
            if constexpr (kDepthTest) {
                if (!(z[k] <= depth[at])) continue;
                depth[at] = z[k];
            }
            pixels[at] = kFlat ? colour : line.Blend(t[k]);
            Written<kXMajor, kDepthTest>(run, x, x, y);
        }
    }
    Mark<kXMajor, kDepthTest>(run);
}
