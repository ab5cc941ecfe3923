#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>
#include <random>
#include <vector>

#include "platform/DepthBuffer.h"
#include "platform/soft3d/Rasterizer.h"
#include "platform/soft3d/SoftDevice3D.h"
#include "platform/Surface.h"

namespace {

constexpr uint32_t kRed = 0xFF0000, kGreen = 0x00FF00, kBlue = 0x0000FF;

// A device over a small target whose viewport maps clip x, y in [-1, 1] onto the pixels,
// with identity transforms, so a test places vertices in pixel terms through At().
class SoftDeviceTest : public ::testing::Test {
protected:
    static constexpr int W = 32, H = 32;

    void SetUp() override { SetViewport(0, 0, W, H); }

    void SetViewport(uint32_t x, uint32_t y, uint32_t w, uint32_t h)
    {
        IViewport3D* viewport = nullptr;
        device.CreateViewport(&viewport);
        D3DVIEWPORT2 v;
        v.dwX = x, v.dwY = y, v.dwWidth = w, v.dwHeight = h;
        v.dvClipX = -1, v.dvClipY = 1, v.dvClipWidth = 2, v.dvClipHeight = 2;
        ASSERT_EQ(viewport->SetViewport2(v), S_OK);
        device.SetCurrentViewport(viewport);
        m_viewport = viewport;
        m_w = float(w), m_h = float(h), m_x = float(x), m_y = float(y);
    }

    // A vertex at pixel (px, py) and depth z, with a normal.
    D3DVERTEX At(float px, float py, float z = 0.5f, Vector3 n = {0, 0, -1}) const
    {
        D3DVERTEX v;
        v.x = (px - m_x) * 2 / m_w - 1, v.y = 1 - (py - m_y) * 2 / m_h, v.z = z;
        v.nx = n.x, v.ny = n.y, v.nz = n.z;
        return v;
    }

    // An unlit material showing exactly colour, selected for the next draws.
    void UseColour(uint32_t colour)
    {
        IMaterial3D* material = nullptr;
        device.CreateMaterial(&material);
        D3DMATERIAL m;
        m.dcvEmissive = {float(colour >> 16) / 255, float((colour >> 8) & 0xFF) / 255, float(colour & 0xFF) / 255, 0};
        material->SetMaterial(m);
        D3DMATERIALHANDLE handle = 0;
        material->GetHandle(&device, &handle);
        device.SetLightState(D3DLIGHTSTATE_MATERIAL, handle);
    }

    HRESULT Draw(D3DPRIMITIVETYPE type, const std::vector<D3DVERTEX>& v, const std::vector<uint16_t>& i)
    {
        return device.DrawIndexedPrimitive(type, D3DFVF_VERTEX, v.data(), uint32_t(v.size()), i.data(),
                                           uint32_t(i.size()), 0);
    }

    uint32_t Px(int x, int y) const { return target.Pixel(x, y) & 0xFFFFFF; }
    int Count(uint32_t colour) const
    {
        int n = 0;
        for (int y = 0; y < H; ++y)
            for (int x = 0; x < W; ++x) n += Px(x, y) == colour;
        return n;
    }

    CSurface target{W, H};
    CDepthBuffer depth{W, H};
    CSoftDevice3D device{target, depth};
    IViewport3D* m_viewport = nullptr;
    float m_w = W, m_h = H, m_x = 0, m_y = 0;
};

TEST(RasterizerTest, TrianglesSharingAnEdgeCoverEachPixelOfTheSquareExactlyOnce)
{
    CSurface target(16, 16);
    CDepthBuffer depth(16, 16);
    CRasterizer rasterizer(target, depth);
    rasterizer.SetDepthTest(false);
    const RasterVertex tl{2, 2, 0, 255}, tr{6, 2, 0, 255}, br{6, 6, 0, 255}, bl{2, 6, 0, 255};
    std::vector<int> hits(256, 0);
    for (int half = 0; half < 2; ++half) {
        target.Fill(0);
        if (half == 0) rasterizer.DrawTriangle(tl, tr, br);
        else rasterizer.DrawTriangle(tl, br, bl);
        for (int i = 0; i < 256; ++i) hits[i] += target.Pixels()[i] != 0;
    }
    // Pixel centres on whole numbers, top-left rule: columns and rows 2..5.
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x)
            EXPECT_EQ(hits[y * 16 + x], (x >= 2 && x < 6 && y >= 2 && y < 6) ? 1 : 0) << x << "," << y;
}

TEST(RasterizerTest, ALongSliverThroughAPixelCentreDrawsItInTheVertexColour)
{
    CSurface target(8, 8);
    CDepthBuffer depth(8, 8);
    CRasterizer rasterizer(target, depth);
    // Twice its area is 4/256 of a square pixel, which the float products around
    // 3e5 square pixels cannot hold: computed in float it comes out as 0.
    const RasterVertex a{202.625f, 326.0f, 0.5f, 100, 150, 200};
    const RasterVertex b{-196.625f, -320.0f, 0.5f, 100, 150, 200};
    const RasterVertex c{-258.3125f, -419.8125f, 0.5f, 100, 150, 200};
    rasterizer.DrawTriangle(a, b, c);
    EXPECT_EQ(target.Pixel(3, 3), 0x6496C8u);
    EXPECT_EQ(depth.Depth(3, 3), 0.5f);
}

// The line formula one pixel at a time, as first written: the rasteriser computes several
// pixels at once and must pick the same pixels and write the same colours and depth floats.
void ReferenceLine(uint32_t* pixels, float* depth, int32_t width, const RECT& s, bool depthTest,
                   const RasterVertex& a, const RasterVertex& b)
{
    const auto fixed = [](float c) { return int32_t((std::clamp(c, 0.0f, 255.0f) + 0.5f) * 65536.0f); };
    const bool xMajor = std::fabs(b.x - a.x) >= std::fabs(b.y - a.y);
    const float start = xMajor ? a.x : a.y, along = xMajor ? b.x - a.x : b.y - a.y;
    const float across0 = xMajor ? a.y : a.x, across = xMajor ? b.y - a.y : b.x - a.x;
    const int32_t first = int32_t(std::floor(start + 0.5f)), end = int32_t(std::floor(start + along + 0.5f));
    const int32_t last = end > first ? end - 1 : end + 1;
    const int32_t lo = std::max(std::min(first, last), xMajor ? s.left : s.top);
    const int32_t hi = std::min(std::max(first, last), (xMajor ? s.right : s.bottom) - 1);
    for (int32_t i = lo; first != end && i <= hi; ++i) {
        const float t = std::clamp((float(i) - start) / along, 0.0f, 1.0f);
        const int32_t j = int32_t(std::floor(across0 + t * across + 0.5f));
        const int32_t x = xMajor ? i : j, y = xMajor ? j : i;
        if (x < s.left || x >= s.right || y < s.top || y >= s.bottom) continue;
        const float z = a.z + t * (b.z - a.z);
        float& d = depth[y * width + x];
        if (depthTest && !(z <= d)) continue;
        if (depthTest) d = z;
        const auto channel = [&](float from, float to) { return uint32_t(fixed(from + t * (to - from))); };
        pixels[y * width + x] =
            (channel(a.r, b.r) & 0xFF0000u) | ((channel(a.g, b.g) >> 8) & 0xFF00u) | (channel(a.b, b.b) >> 16);
    }
}

// Whole and half-pixel ends (rounding ties), 45 degree and one-colour lines, depths of
// -0 and +0 (a -0 written where +0 was due changes later depth tests), scissors, lines
// running either way: colours and depth bits must match the formula exactly.
TEST(RasterizerTest, LinesWriteExactlyWhatTheLineFormulaGives)
{
    constexpr int32_t W = 41, H = 23;
    CSurface target(W, H);
    CDepthBuffer depth(W, H);
    CRasterizer rasterizer(target, depth);
    std::vector<uint32_t> pixels(W * H);
    std::vector<float> depths(W * H);
    std::mt19937 random(13);
    std::uniform_real_distribution<float> unit(0.0f, 1.0f);
    const auto coordinate = [&](int32_t size) {
        const float v = unit(random) * float(size + 16) - 8.0f;
        return random() % 3 == 0 ? std::round(v) : random() % 2 ? std::round(v) + 0.5f : v;
    };
    const float depthChoices[] = {0.0f, -0.0f, 1.0f};
    const auto z = [&] { return random() % 2 ? unit(random) : depthChoices[random() % 3]; };
    for (int round = 0; round < 2000; ++round) {
        for (int32_t k = 0; k < W * H; ++k) pixels[k] = uint32_t(random()), depths[k] = z();
        std::copy(pixels.begin(), pixels.end(), target.Pixels());
        std::copy(depths.begin(), depths.end(), depth.Data());
        const auto inset = [&] { return int32_t(random() % 8); };
        rasterizer.SetScissor({inset(), inset(), W - inset(), H - inset()});
        const bool depthTest = random() % 4 != 0;
        rasterizer.SetDepthTest(depthTest);
        for (int line = 0; line < 10; ++line) {
            RasterVertex a{coordinate(W), coordinate(H), z(), 255 * unit(random), 100, 0};
            RasterVertex b{coordinate(W), coordinate(H), z(), random() % 2 ? a.r : 300 * unit(random), 100, 0};
            if (random() % 4 == 0) b.y = a.y + (b.x - a.x) * (random() % 2 ? 1.0f : -1.0f);
            rasterizer.DrawLine(a, b);
            ReferenceLine(pixels.data(), depths.data(), W, rasterizer.Scissor(), depthTest, a, b);
        }
        ASSERT_EQ(std::memcmp(target.Pixels(), pixels.data(), W * H * 4), 0) << "round " << round;
        ASSERT_EQ(std::memcmp(depth.Data(), depths.data(), W * H * 4), 0) << "round " << round;
    }
}

TEST_F(SoftDeviceTest, CounterClockwiseOnScreenIsCulledAndClockwiseDrawn)
{
    UseColour(kRed);
    const std::vector<D3DVERTEX> v{At(4, 4), At(20, 4), At(4, 20)};
    EXPECT_EQ(Draw(D3DPT_TRIANGLELIST, v, {0, 2, 1}), S_OK);
    EXPECT_EQ(Count(kRed), 0);
    Draw(D3DPT_TRIANGLELIST, v, {0, 1, 2});
    EXPECT_EQ(Count(kRed), 16 * 17 / 2);  // rows 4..19, each one pixel shorter
}

TEST_F(SoftDeviceTest, DepthTestPassesNearerAndEqualAndKeepsFarther)
{
    const std::vector<uint16_t> tri{0, 1, 2};
    UseColour(kRed);
    Draw(D3DPT_TRIANGLELIST, {At(0, 0, 0.6f), At(32, 0, 0.6f), At(0, 32, 0.6f)}, tri);
    UseColour(kGreen);
    Draw(D3DPT_TRIANGLELIST, {At(0, 0, 0.3f), At(32, 0, 0.3f), At(0, 32, 0.3f)}, tri);
    UseColour(kBlue);
    Draw(D3DPT_TRIANGLELIST, {At(0, 0, 0.4f), At(32, 0, 0.4f), At(0, 32, 0.4f)}, tri);
    EXPECT_EQ(Px(5, 5), kGreen);
    EXPECT_FLOAT_EQ(depth.Depth(5, 5), 0.3f);
    UseColour(kRed);
    Draw(D3DPT_TRIANGLELIST, {At(0, 0, 0.3f), At(32, 0, 0.3f), At(0, 32, 0.3f)}, tri);
    EXPECT_EQ(Px(5, 5), kRed);
    // With z-buffering off, draws land whatever their depth and leave the buffer alone.
    device.SetRenderState(D3DRENDERSTATE_ZENABLE, 0);
    UseColour(kBlue);
    Draw(D3DPT_TRIANGLELIST, {At(0, 0, 0.9f), At(32, 0, 0.9f), At(0, 32, 0.9f)}, tri);
    EXPECT_EQ(Px(5, 5), kBlue);
    EXPECT_FLOAT_EQ(depth.Depth(5, 5), 0.3f);
}

TEST_F(SoftDeviceTest, LightingFollowsTheFormulaInWorldSpace)
{
    IMaterial3D* material = nullptr;
    device.CreateMaterial(&material);
    D3DMATERIAL m;
    m.dcvAmbient = {0.2f, 0.4f, 0.0f, 1};
    m.dcvDiffuse = {1, 0.5f, 1, 1};
    material->SetMaterial(m);
    D3DMATERIALHANDLE handle = 0;
    material->GetHandle(&device, &handle);
    device.SetLightState(D3DLIGHTSTATE_MATERIAL, handle);
    device.SetLightState(D3DLIGHTSTATE_AMBIENT, 0xFF808080);  // half grey
    ILight3D* light = nullptr;
    device.CreateLight(&light);
    D3DLIGHT2 l;
    l.dcvColor = {0.4f, 0.8f, 2.0f, 0};
    l.dvDirection = {0, 0, 1};  // travelling into the screen
    l.dwFlags = D3DLIGHT_ACTIVE;
    light->SetLight(l);
    m_viewport->AddLight(light);
    // Flat normal facing the light: ambient 0.5 * material + light * diffuse, clamped.
    const std::vector<D3DVERTEX> facing{At(0, 0, 0.5f), At(32, 0, 0.5f), At(0, 32, 0.5f)};
    Draw(D3DPT_TRIANGLELIST, facing, {0, 1, 2});
    const uint32_t lit = Px(4, 4);
    EXPECT_NEAR(int(lit >> 16), int(std::lround((0.1 + 0.4) * 255)), 1);
    EXPECT_NEAR(int((lit >> 8) & 0xFF), int(std::lround((0.2 + 0.4) * 255)), 1);
    EXPECT_EQ(lit & 0xFF, 255u);
    // Turned a quarter about y, the same model normal points sideways in the world: no light.
    device.SetTransform(D3DTRANSFORMSTATE_WORLD, MatMultiply(MatTranslate({0, 0, 0.4f}), MatRotateY(1.5707964f)));
    std::vector<D3DVERTEX> sideways{At(0, 0), At(32, 0), At(0, 32)};
    for (D3DVERTEX& v : sideways) v.z = -v.x, v.x = 0;  // so the turn puts them back on screen
    Draw(D3DPT_TRIANGLELIST, sideways, {0, 1, 2});
    EXPECT_NEAR(int(Px(4, 4) >> 16), int(std::lround(0.1 * 255)), 1);
    // An inactive light gives nothing either.
    device.SetTransform(D3DTRANSFORMSTATE_WORLD, MatIdentity());
    l.dwFlags = 0;
    light->SetLight(l);
    Draw(D3DPT_TRIANGLELIST, {At(0, 0, 0.3f), At(32, 0, 0.3f), At(0, 32, 0.3f)}, {0, 1, 2});
    EXPECT_NEAR(int(Px(4, 4) >> 16), int(std::lround(0.1 * 255)), 1);
}

TEST_F(SoftDeviceTest, GouraudShadingBlendsTheVertexColours)
{
    UseColour(0);  // black material, then colour only from the light
    IMaterial3D* material = nullptr;
    device.CreateMaterial(&material);
    D3DMATERIAL m;
    m.dcvDiffuse = {1, 1, 1, 1};
    material->SetMaterial(m);
    D3DMATERIALHANDLE handle = 0;
    material->GetHandle(&device, &handle);
    device.SetLightState(D3DLIGHTSTATE_MATERIAL, handle);
    ILight3D* light = nullptr;
    device.CreateLight(&light);
    D3DLIGHT2 l;
    l.dcvColor = {1, 1, 1, 0};
    l.dvDirection = {0, 0, 1};
    l.dwFlags = D3DLIGHT_ACTIVE;
    light->SetLight(l);
    m_viewport->AddLight(light);
    Draw(D3DPT_TRIANGLELIST, {At(0, 0, 0.5f, {0, 0, -1}), At(32, 0, 0.5f, {1, 0, 0}), At(0, 32, 0.5f, {1, 0, 0})},
         {0, 1, 2});
    const uint32_t nearLit = Px(1, 1) & 0xFF, middle = Px(8, 8) & 0xFF, nearDark = Px(14, 14) & 0xFF;
    EXPECT_GT(nearLit, middle);
    EXPECT_GT(middle, nearDark);
    EXPECT_GT(nearDark, 0u);
    EXPECT_LT(nearLit, 255u);
}

// The game's projection: view depth 100 maps to z/w 0, w is the view depth.
Matrix4 GameProjection()
{
    Matrix4 p;
    p.m[0][0] = 2.5f, p.m[1][1] = 2.5f, p.m[2][2] = 0.5f, p.m[2][3] = 1, p.m[3][2] = -50;
    return p;
}

TEST_F(SoftDeviceTest, GeometryBehindTheEyeIsClippedNotMirrored)
{
    device.SetTransform(D3DTRANSFORMSTATE_PROJECTION, GameProjection());
    UseColour(kRed);
    D3DVERTEX front, behind, frontLow;
    front.x = -50, front.y = 20, front.z = 400;
    behind.x = -50, behind.y = 20, behind.z = -400;  // would project to the right half
    frontLow.x = -50, frontLow.y = -40, frontLow.z = 400;
    Draw(D3DPT_LINELIST, {front, behind}, {0, 1});
    Draw(D3DPT_TRIANGLELIST, {front, behind, frontLow}, {0, 1, 2, 0, 2, 1});
    int left = 0;
    for (int y = 0; y < H; ++y)
        for (int x = 0; x < W; ++x) {
            if (Px(x, y) != kRed) continue;
            EXPECT_LT(x, W / 2) << "mirrored pixel at " << x << "," << y;
            ++left;
        }
    EXPECT_GT(left, 0);
    // Nearer than the near plane (view depth 100) is cut too: no depth below 0 is stored.
    D3DVERTEX close;
    close.z = 50;  // straight ahead, so the cut-off corner would be on screen
    Draw(D3DPT_TRIANGLELIST, {close, front, frontLow}, {0, 1, 2, 0, 2, 1});
    for (int y = 0; y < H; ++y)
        for (int x = 0; x < W; ++x) ASSERT_GE(depth.Depth(x, y), 0.0f) << x << "," << y;
    target.Fill(0);
    Draw(D3DPT_TRIANGLELIST, {behind, behind, behind}, {0, 1, 2});
    behind.x = 50;
    Draw(D3DPT_LINELIST, {behind, frontLow}, {});
    EXPECT_EQ(Count(kRed), 0);
}

TEST_F(SoftDeviceTest, NothingIsWrittenOutsideTheViewportWhateverTheCoordinates)
{
    SetViewport(8, 4, 16, 20);
    UseColour(kGreen);
    const float huge = 1e7f;
    Draw(D3DPT_TRIANGLELIST, {At(-huge, -huge), At(huge, -huge), At(-huge, huge * 3)}, {0, 1, 2});
    Draw(D3DPT_LINELIST, {At(-huge, 10), At(huge, 11)}, {0, 1});
    for (int y = 0; y < H; ++y)
        for (int x = 0; x < W; ++x)
            EXPECT_EQ(Px(x, y), (x >= 8 && x < 24 && y >= 4 && y < 24) ? kGreen : 0u) << x << "," << y;
}

TEST_F(SoftDeviceTest, LinesAreDepthTestedAndLeaveOutTheirEndPixel)
{
    UseColour(kRed);
    Draw(D3DPT_TRIANGLELIST, {At(0, 0, 0.5f), At(32, 0, 0.5f), At(0, 32, 0.5f)}, {0, 1, 2});
    UseColour(kBlue);
    Draw(D3DPT_LINELIST, {At(2, 3, 0.7f), At(12, 3, 0.7f), At(2, 5, 0.2f), At(12, 5, 0.2f)}, {0, 1, 2, 3});
    EXPECT_EQ(Px(5, 3), kRed);  // behind the triangle
    EXPECT_EQ(Px(2, 5), kBlue);
    EXPECT_EQ(Px(11, 5), kBlue);
    EXPECT_EQ(Px(12, 5), kRed);
}

TEST_F(SoftDeviceTest, MaterialsAreChosenByHandleAndUnknownHandlesDrawBlack)
{
    target.Fill(0x123456);
    UseColour(kGreen);
    device.SetLightState(D3DLIGHTSTATE_MATERIAL, 999);
    Draw(D3DPT_TRIANGLELIST, {At(0, 0), At(32, 0), At(0, 32)}, {0, 1, 2});
    EXPECT_EQ(Px(2, 2), 0u);
}

TEST_F(SoftDeviceTest, ClearFillsOnlyItsRectanglesInsideTheViewport)
{
    SetViewport(0, 0, 16, 16);
    target.Fill(kRed);
    const D3DRECT rects[] = {{-5, -5, 4, 4}, {10, 10, 40, 40}};
    EXPECT_EQ(m_viewport->Clear2(2, rects, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0xFF00FF00, 0.25f, 0), S_OK);
    EXPECT_EQ(Px(0, 0), kGreen);
    EXPECT_EQ(Px(4, 4), kRed);
    EXPECT_EQ(Px(15, 15), kGreen);
    EXPECT_EQ(Px(16, 16), kRed);
    EXPECT_FLOAT_EQ(depth.Depth(3, 3), 0.25f);
    EXPECT_FLOAT_EQ(depth.Depth(5, 5), 1.0f);
}

// Clears rewrite only what was written since the last one; whatever wrote in between
// (draws, partial fills of other colours, blits, raw pixel writes), a whole clear must
// leave every pixel and depth at the clear values. The width is not a multiple of the
// clear's chunks, and its rows need more than one word of marks.
TEST(ClearBookkeepingTest, AWholeClearLeavesNothingOfAnyEarlierWrite)
{
    constexpr int W = 525, H = 23;
    CSurface target(W, H);
    CDepthBuffer depth(W, H);
    CRasterizer rasterizer(target, depth);
    CSurface sprite(7, 3);
    sprite.Fill(kBlue);
    sprite.Pixels()[3] = 0;
    sprite.SetColorKey(0);
    std::mt19937 random(7);
    const auto coordinate = [&](int limit) { return float(int(random() % unsigned(limit + 20)) - 10); };
    const auto vertex = [&] { return RasterVertex{coordinate(W), coordinate(H), 0.5f, 255, 0, 0}; };
    for (int round = 0; round < 300; ++round) {
        for (int step = 0; step < 4; ++step) {
            switch (random() % 6) {
            case 0: rasterizer.DrawTriangle(vertex(), vertex(), vertex()); break;
            case 1: rasterizer.DrawLine(vertex(), vertex()); break;
            case 2: target.FillRect({int(coordinate(W)), int(coordinate(H)), int(coordinate(W)), int(coordinate(H))}, kGreen); break;
            case 3: target.Pixels()[random() % (W * H)] = kRed; break;
            case 4: target.BltFast(int(coordinate(W)), int(coordinate(H)), sprite, {0, 0, 7, 3}, DDBLTFAST_SRCCOLORKEY); break;
            case 5: depth.FillRect(2, 2, W - 3, H - 1, 0.25f); break;
            }
        }
        const uint32_t colour = round % 17 == 0 ? kRed : 0;  // now and then a new clear colour
        target.FillRect({0, 0, W, H}, colour);
        depth.FillRect(0, 0, W, H, 1.0f);
        for (int y = 0; y < H; ++y)
            for (int x = 0; x < W; ++x) {
                ASSERT_EQ(target.Pixel(x, y) & 0xFFFFFF, colour) << "round " << round << " at " << x << ", " << y;
                ASSERT_EQ(depth.Depth(x, y), 1.0f) << "round " << round << " at " << x << ", " << y;
            }
    }
}

TEST_F(SoftDeviceTest, BadDrawsAreRefusedOrSkippedWithoutTouchingMemory)
{
    UseColour(kRed);
    const std::vector<D3DVERTEX> v{At(0, 0), At(32, 0), At(0, 32)};
    EXPECT_EQ(device.DrawIndexedPrimitive(D3DPT_TRIANGLELIST, 0x2, v.data(), 3, nullptr, 0, 0), E_INVALIDARG);
    EXPECT_EQ(Draw(D3DPT_TRIANGLELIST, v, {0, 1, 7, 0, 1}), S_OK);  // bad index, trailing pair
    const float nan = std::numeric_limits<float>::quiet_NaN();
    D3DVERTEX bad = At(5, 5);
    bad.x = nan;
    Draw(D3DPT_TRIANGLELIST, {bad, At(32, 0), At(0, 32)}, {0, 1, 2});
    Draw(D3DPT_LINELIST, {bad, At(32, 0)}, {0, 1});
    EXPECT_EQ(Count(kRed), 0);
    CSurface other(4, 4);
    CDepthBuffer otherDepth(4, 4);
    CSoftDevice3D bare(other, otherDepth);
    EXPECT_EQ(bare.DrawIndexedPrimitive(D3DPT_TRIANGLELIST, D3DFVF_VERTEX, v.data(), 3,
                                        std::vector<uint16_t>{0, 1, 2}.data(), 3, 0), E_FAIL);
}


TEST_F(SoftDeviceTest, RandomGeometryAroundTheEyeNeverLeavesTheViewport)
{
    SetViewport(5, 3, 20, 24);
    device.SetTransform(D3DTRANSFORMSTATE_PROJECTION, GameProjection());
    target.Fill(0x555555);
    UseColour(kGreen);
    std::mt19937 random(7);
    std::uniform_real_distribution<float> spread(-3000.0f, 3000.0f);
    std::vector<D3DVERTEX> v(60);
    std::vector<uint16_t> indices(60);
    for (int round = 0; round < 200; ++round) {
        for (int i = 0; i < 60; ++i) {
            v[i].x = spread(random), v[i].y = spread(random), v[i].z = spread(random) / 10;
            indices[i] = uint16_t(i);
        }
        Draw(D3DPT_TRIANGLELIST, v, indices);
        Draw(D3DPT_LINELIST, v, indices);
    }
    int inside = 0;
    for (int y = 0; y < H; ++y)
        for (int x = 0; x < W; ++x) {
            const bool viewport = x >= 5 && x < 25 && y >= 3 && y < 27;
            if (viewport) {
                inside += Px(x, y) == kGreen;
                continue;
            }
            ASSERT_EQ(Px(x, y), 0x555555u) << x << "," << y;
        }
    EXPECT_GT(inside, 0);
}

}  // namespace
