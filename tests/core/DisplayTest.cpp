#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "platform/BitmapLoader.h"
#include "platform/posix/DebugOut.h"
#include "platform/DepthBuffer.h"
#include "platform/PrimarySurface.h"
#include "platform/soft3d/SoftDevice3D.h"
#include "platform/Surface.h"
#include "render/BitmapSurface.h"
#include "render/Display.h"
#include "tools/scene/BusyScene.h"
#include "tests/fakes/FakeBitmapLoader.h"
#include "tests/fakes/FakeWindow.h"
#include "tests/fakes/FrameChecksum.h"
#include "tests/fakes/GameHarness.h"
#include "tests/fakes/RecordingTextPainter.h"

namespace {

class FakePrimary final : public IPrimarySurface {
public:
    HRESULT Blt(const RECT& dst, const CSurface& surface, const RECT& src) override
    {
        lastDst = dst, lastSrc = src, ++blits;
        corner = surface.Pixel(src.right - 1, src.bottom - 1);
        return S_OK;
    }
    RECT lastDst, lastSrc;
    uint32_t corner = 0;  // the source's last pixel copied
    int blits = 0;
};

// A picture whose every pixel tells where it came from, with a black (keyed) column 0.
CSurface Picture(int w, int h)
{
    CSurface s(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) s.Pixels()[y * w + x] = x == 0 ? 0 : uint32_t(0x010000 * y + x);
    return s;
}

class DisplayTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        window.primary = &primary;
        loader.pictures.emplace(kTitleBitmap, Picture(30, 10));
        devices.pTextPainter = &painter;
        devices.pBitmapLoader = &loader;
    }
    void TearDown() override { SetDebugSink({}); }

    FakePrimary primary;
    CFakeWindow window;
    CFakeBitmapLoader loader;
    CRecordingTextPainter painter;
    DisplayDevices devices;
};

TEST_F(DisplayTest, InitSetsUpViewportLightsAndTitleOnTheSoftwareDevice)
{
    CDisplay display(devices);
    ASSERT_TRUE(display.Init(&window));
    EXPECT_EQ(display.m_nWidth, 640);
    EXPECT_EQ(display.m_nHeight, 480);
    D3DVIEWPORT2 v;
    display.m_pViewport->GetViewport2(&v);
    EXPECT_EQ(v.dwWidth, 640u);
    EXPECT_FLOAT_EQ(v.dvClipX, -1.0f);
    EXPECT_FLOAT_EQ(v.dvClipY, 0.75f);
    EXPECT_FLOAT_EQ(v.dvClipHeight, 1.5f);
    ASSERT_NE(display.m_pddsTitle, nullptr);
    EXPECT_TRUE(display.m_pddsTitle->HasColorKey());
    EXPECT_EQ(display.m_pddsTitle->ColorKey(), 0u);
    EXPECT_TRUE(window.messageBoxes.empty());

    // A white-diffuse face turned straight into the warm light and away from the cool one
    // shows the warm light's colour and nothing else.
    IMaterial3D* material = nullptr;
    ASSERT_EQ(display.MakeMaterial(&material), S_OK);
    D3DMATERIAL m;
    m.dcvDiffuse = {1, 1, 1, 1};
    material->SetMaterial(m);
    D3DMATERIALHANDLE handle = 0;
    material->GetHandle(display.m_pDevice, &handle);
    display.m_pDevice->SetLightState(D3DLIGHTSTATE_MATERIAL, handle);
    const float s = 0.70710677f;
    D3DVERTEX face[3];
    const float xy[3][2] = {{-1, 1}, {1, 1}, {-1, -1}};
    for (int i = 0; i < 3; ++i) face[i] = {xy[i][0], xy[i][1], 0.5f, 0, -s, -s, 0, 0};
    const uint16_t indices[] = {0, 1, 2};
    display.m_pDevice->DrawIndexedPrimitive(D3DPT_TRIANGLELIST, D3DFVF_VERTEX, face, 3, indices, 3, 0);
    EXPECT_EQ(display.m_pddsBack->Pixel(10, 10) & 0xFFFFFF, 0xE6CC66u);  // 0.9, 0.8, 0.4
    // And one turned into the cool light alone, nearer, over it.
    for (int i = 0; i < 3; ++i) face[i] = {xy[i][0], xy[i][1], 0.25f, -s, s, 0, 0, 0};
    display.m_pDevice->DrawIndexedPrimitive(D3DPT_TRIANGLELIST, D3DFVF_VERTEX, face, 3, indices, 3, 0);
    EXPECT_EQ(display.m_pddsBack->Pixel(10, 10) & 0xFFFFFF, 0x6680B3u);  // 0.4, 0.5, 0.7
    display.ReleaseObjects();
}

TEST_F(DisplayTest, AProjectionWithNearAtFarOrNoFieldOfViewIsRefusedAndLeavesItsOutputAlone)
{
    CDisplay display(devices);
    Matrix4 out;
    for (auto& row : out.m)
        for (float& v : row) v = 7.0f;
    const Matrix4 before = out;
    EXPECT_EQ(display.BuildProjectionMatrix(&out, 0.75f, 0.75f, 100.0f, 100.005f), E_INVALIDARG);
    EXPECT_EQ(display.BuildProjectionMatrix(&out, 0.01f, 0.75f, 100.0f, -100.0f), E_INVALIDARG);
    EXPECT_EQ(std::memcmp(&out, &before, sizeof out), 0);
    EXPECT_EQ(display.BuildProjectionMatrix(&out, 0.75f, 0.75f, 100.0f, -100.0f), S_OK);
    EXPECT_FLOAT_EQ(out.m[3][2], -50.0f);
}

TEST_F(DisplayTest, InitFailuresShowTheirMessageDestroyTheWindowAndReleaseEverything)
{
    struct Case {
        const char* name;
        int bits;
        bool primary;
        bool device;
        RECT client;
        const char* message;
    } cases[] = {
        {"8 bits", 8, true, true, {0, 0, 640, 480}, "ERROR: You need at least High Color Mode"},
        {"no primary", 32, false, true, {0, 0, 640, 480}, "ERROR: DirectDraw Init FAILED"},
        {"no device", 32, true, false, {0, 0, 640, 480}, "ERROR: DirectDraw Init FAILED"},
        {"empty client", 32, true, true, {5, 5, 5, 300}, "ERROR: DirectDraw Init FAILED"},
    };
    for (const Case& c : cases) {
        CFakeWindow w;
        w.bitsPerPixel = c.bits;
        w.primary = c.primary ? &primary : nullptr;
        w.clientRect = c.client;
        DisplayDevices d = devices;
        if (!c.device) d.makeDevice = [](CSurface&, CDepthBuffer&) { return std::unique_ptr<IDevice3D>(); };
        CDisplay display(d);
        EXPECT_FALSE(display.Init(&w)) << c.name;
        EXPECT_EQ(w.messageBoxes, std::vector<std::string>{c.message}) << c.name;
        EXPECT_TRUE(w.destroyed) << c.name;
        EXPECT_EQ(display.m_pddsBack, nullptr) << c.name;
        EXPECT_EQ(display.m_pDevice, nullptr) << c.name;
        EXPECT_EQ(display.m_pddsPrimary, nullptr) << c.name;
    }
}

TEST_F(DisplayTest, AMissingTitleIsReportedAndTheDisplayStillStarts)
{
    loader.pictures.clear();
    CDisplay display(devices);
    EXPECT_TRUE(display.Init(&window));
    EXPECT_EQ(window.messageBoxes, std::vector<std::string>{"ERROR: Couldn't open bitmap file"});
    EXPECT_FALSE(window.destroyed);
    EXPECT_EQ(display.m_pddsTitle, nullptr);
    display.BltBitmap(display.m_pddsTitle, display.m_pddsBack, DDBLTFAST_SRCCOLORKEY, 170, 20);
    display.ReleaseObjects();
    display.ReleaseObjects();
    EXPECT_EQ(display.m_pddsBack, nullptr);
}

TEST_F(DisplayTest, TheTitleBlitSkipsBlackAndCopiesEveryOtherColour)
{
    CDisplay display(devices);
    ASSERT_TRUE(display.Init(&window));
    display.m_pddsBack->Fill(0x777777);
    display.BltBitmap(display.m_pddsTitle, display.m_pddsBack, DDBLTFAST_SRCCOLORKEY, 170, 20);
    EXPECT_EQ(display.m_rcSource, (RECT{0, 0, 30, 10}));
    EXPECT_EQ(display.m_pddsBack->Pixel(170, 20), 0x777777u);  // black: transparent
    EXPECT_EQ(display.m_pddsBack->Pixel(171, 20), 0x000001u);
    EXPECT_EQ(display.m_pddsBack->Pixel(199, 29), 0x09001Du);
    EXPECT_EQ(display.m_pddsBack->Pixel(200, 29), 0x777777u);
    display.ReleaseObjects();
}

TEST_F(DisplayTest, AtEveryScaleTextAndPictureKeepTheirPlacesInGameAreaUnits)
{
    CDisplay display(devices);
    ASSERT_TRUE(display.Init(&window));
    CSurface back(1280, 960);
    back.Fill(0x777777);
    display.SetScale(2);
    EXPECT_EQ(painter.scale, 2);
    display.BltBitmap(display.m_pddsTitle, &back, DDBLTFAST_SRCCOLORKEY, 170, 20);
    EXPECT_EQ(back.Pixel(341, 41), 0x777777u) << "black stays transparent";
    EXPECT_EQ(back.Pixel(342, 40), 0x000001u);
    EXPECT_EQ(back.Pixel(343, 41), 0x000001u);
    EXPECT_EQ(back.Pixel(399, 59), 0x09001Du);
    EXPECT_EQ(back.Pixel(400, 59), 0x777777u);
    display.PrintText(&back, 40, 10, "Score: 000500");
    EXPECT_EQ(painter.texts.back().x * 100 + painter.texts.back().y, 8020);
    display.SetScale(1);
    EXPECT_EQ(painter.scale, 1);
    display.PrintText(&back, 40, 10, "Score: 000500");
    EXPECT_EQ(painter.texts.back().x * 100 + painter.texts.back().y, 4010);

    // A desktop scaled by 150 %: the picture 45 x 15, blended, its black still see-through.
    display.SetScale(1.5f);
    EXPECT_EQ(painter.scale, 1.5f);
    back.Fill(0x777777);
    display.BltBitmap(display.m_pddsTitle, &back, DDBLTFAST_SRCCOLORKEY, 170, 20);
    EXPECT_EQ(back.Pixel(255, 35), 0x777777u) << "black stays transparent";
    EXPECT_EQ(back.Pixel(299, 44) & 0xFFFF00u, 0x090000u) << "the last row and column";
    EXPECT_EQ(back.Pixel(300, 44), 0x777777u);
    EXPECT_EQ(back.Pixel(299, 45), 0x777777u);
    const uint32_t between = back.Pixel(277, 37);  // picture (14.5, 4.5): 14 and 15, rows 4 and 5
    EXPECT_TRUE(between == 0x04000Fu || between == 0x05000Fu) << std::hex << between;
    display.PrintText(&back, 41, 10, "Score: 000500");
    EXPECT_EQ(painter.texts.back().x * 100 + painter.texts.back().y, 6215);
    display.ReleaseObjects();
}

TEST_F(DisplayTest, LoadingAgainFreesTheOldPictureEvenWhenTheNewOneFails)
{
    CDisplay display(devices);
    display.m_hWnd = &window;
    CSurface* held = nullptr;
    ASSERT_TRUE(display.LoadBitmapSurface(held, kTitleBitmap));
    ASSERT_NE(held, nullptr);
    EXPECT_FALSE(display.LoadBitmapSurface(held, "data/none.bmp"));
    EXPECT_EQ(held, nullptr);
    EXPECT_EQ(window.messageBoxes.size(), 1u);
}

TEST_F(DisplayTest, ReloadStretchesOverTheSurfaceAndReportsAMissingPicture)
{
    std::vector<std::string> lines;
    SetDebugSink([&](const std::string& line) { lines.push_back(line); });
    loader.pictures.emplace("two", Picture(2, 1));
    CSurface target(4, 2);
    EXPECT_EQ(ReloadBitmap(&loader, &target, "two"), DD_OK);
    EXPECT_EQ(target.Pixel(0, 1), 0u);
    EXPECT_EQ(target.Pixel(1, 0), 0u);
    EXPECT_EQ(target.Pixel(2, 1), 1u);
    EXPECT_EQ(target.Pixel(3, 0), 1u);

    CDisplay display(devices);
    display.m_hWnd = &window;
    EXPECT_FALSE(display.ReloadBitmapSurface(&target, "missing"));
    EXPECT_EQ(display.m_hr, E_FAIL);
    EXPECT_EQ(lines, std::vector<std::string>{"handle is null\n"});
    EXPECT_EQ(window.messageBoxes, std::vector<std::string>{"ERROR: Couldn't open bitmap file"});
    EXPECT_FALSE(display.ReloadBitmapSurface(nullptr, kTitleBitmap));
    EXPECT_EQ(lines.back(), "ddcopybitmap failed\n");

    const auto own = CreateSurfaceFromBitmap(&loader, kTitleBitmap, 0, 0);
    ASSERT_TRUE(own);
    EXPECT_EQ(own->Width(), 30);
    EXPECT_EQ(own->Pixel(29, 9), 0x09001Du);
}

TEST_F(DisplayTest, ResizeMakesTheBuffersAndViewportAgainAndTheDeviceDrawsIntoThem)
{
    CDisplay display(devices);
    ASSERT_TRUE(display.Init(&window));
    CSurface* const title = display.m_pddsTitle;
    EXPECT_FALSE(display.Resize(0, 440));
    ASSERT_TRUE(display.Resize(638, 440));
    EXPECT_EQ(display.m_pddsBack->Width() * 10000 + display.m_pddsBack->Height(), 638 * 10000 + 440);
    EXPECT_EQ(display.m_pddsZBuffer->Width() * 10000 + display.m_pddsZBuffer->Height(), 638 * 10000 + 440);
    EXPECT_EQ(display.m_pddsTitle, title);
    D3DVIEWPORT2 v;
    display.m_pViewport->GetViewport2(&v);
    EXPECT_EQ(v.dwWidth * 10000 + v.dwHeight, 638u * 10000 + 440);
    EXPECT_FLOAT_EQ(v.dvClipY, 440.0f / 638.0f);
    const D3DRECT all{0, 0, 638, 440};
    display.m_pViewport->Clear2(1, &all, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0x123456u, 0.25f, 0);
    EXPECT_EQ(display.m_pddsBack->Pixel(637, 439) & 0xFFFFFFu, 0x123456u);
    EXPECT_FLOAT_EQ(display.m_pddsZBuffer->Depth(637, 439), 0.25f);
    display.ReleaseObjects();
}

TEST_F(DisplayTest, PresentCutsBothRectanglesToTheSmallerSize)
{
    CDisplay display(devices);
    ASSERT_TRUE(display.Init(&window));
    RECT src{0, 0, 640, 480}, dst{100, 100, 900, 700};
    EXPECT_EQ(display.Present(display.m_pddsBack, &src, &dst), S_OK);
    EXPECT_EQ(dst, (RECT{100, 100, 740, 580}));
    EXPECT_EQ(src, (RECT{0, 0, 640, 480}));
    EXPECT_EQ(primary.lastDst, dst);
    src = {0, 0, 640, 480}, dst = {10, 20, 330, 260};
    display.m_pddsBack->Pixels()[239 * 640 + 319] = 0x00123456u;
    display.Present(display.m_pddsBack, &src, &dst);
    EXPECT_EQ(src, (RECT{0, 0, 320, 240}));
    EXPECT_EQ(primary.lastSrc, src);
    EXPECT_EQ(primary.corner, 0xFF123456u) << "a compositing window system would show it transparent";
    int32_t w = -1, h = -1;
    GetSurfaceSize(display.m_pddsBack, &w, &h);
    EXPECT_EQ(w * 10000 + h, 640 * 10000 + 480);
    EXPECT_TRUE(display.RestoreSurface(nullptr));
    EXPECT_TRUE(display.RestoreSurfaces());
    display.ReleaseObjects();
}

TEST_F(DisplayTest, TextIsWhiteAndNeedsASurfaceAndAPainter)
{
    CDisplay display(devices);
    CSurface back(8, 8);
    EXPECT_EQ(display.PrintText(&back, 40, 10, "Score: 000500"), S_OK);
    ASSERT_EQ(painter.texts.size(), 1u);
    EXPECT_EQ(painter.texts[0].color, 0xFFFFFFu);
    EXPECT_EQ(painter.texts[0].x * 100 + painter.texts[0].y, 4010);
    EXPECT_EQ(display.PrintText(nullptr, 0, 0, "x"), E_FAIL);
    CDisplay silent;
    EXPECT_EQ(silent.PrintText(&back, 0, 0, "x"), E_FAIL);
}

}  // namespace

// The scenes alone, without texts or picture, as the software device draws them, in turn
// and twice through one display. The scalar build draws them too: the paths for
// processors without SSE2 must give the very pixels the x86 ones give.
TEST(SceneChecksumTest, EveryScenePaintsExactlyItsGoldenPictureOnEveryDrawingPath)
{
    using Scene = CBusyScene::Scene;
    const struct {
        Scene scene;
        const char* name;
        uint64_t checksum;
    } kGolden[] = {
        {Scene::Title, "title", 0x60816f21972b8b06ull},
        {Scene::Play, "busiest play frame", 0x1a82346265cbc6fbull},
        {Scene::GameOver, "game over", 0xeefcf76c72fce580ull},
    };
    CBusyScene busy(DisplayDevices{});
    for (int round = 0; round < 2; ++round) {
        for (const auto& golden : kGolden) {
            busy.Show(golden.scene);
            busy.Paint();
            const CSurface& back = *busy.Display().m_pddsBack;
            const uint64_t got = ColourChecksum(back);
            // The message, and with it the file, is made only when the checksums differ.
            const std::string name = std::string("SceneChecksumTest ") + golden.name;
            EXPECT_EQ(got, golden.checksum)
                << golden.name << " in round " << round << ": " << ChecksumText(got) << "; "
                << SaveMismatch(back, round == 0 ? name : name + " round 2");
        }
    }
}

// The game tests' display is the one the frame gets: started by Init, on the window's
// primary surface, with the recording device the harness hands it.
TEST(GameHarnessTest, ItsDisplayIsMadeByInitAroundTheRecordingDevice)
{
    CGameHarness h;
    EXPECT_EQ(h.display.m_pDevice, &h.device);
    EXPECT_EQ(h.display.m_pViewport, h.device.Viewport());
    EXPECT_EQ(h.display.m_pddsPrimary, &h.primary);
    EXPECT_EQ(h.display.m_hWnd, &h.window);
    ASSERT_NE(h.display.m_pddsBack, nullptr);
    EXPECT_EQ(h.display.m_pddsBack->Width() * 10000 + h.display.m_pddsBack->Height(), 640 * 10000 + 480);
    ASSERT_NE(h.display.m_pddsZBuffer, nullptr);
    EXPECT_EQ(h.display.m_pddsZBuffer->Width() * 10000 + h.display.m_pddsZBuffer->Height(),
              640 * 10000 + 480);
    EXPECT_NE(h.display.m_pLight1, nullptr);
    EXPECT_NE(h.display.m_pLight2, nullptr);
    EXPECT_NE(h.display.m_pddsTitle, nullptr);
    EXPECT_EQ(h.display.m_pTextPainter, &h.painter);
    D3DVIEWPORT2 v;
    h.display.m_pViewport->GetViewport2(&v);
    EXPECT_FLOAT_EQ(v.dvClipY, 0.75f) << "set by Init, not the recording device's default";
    EXPECT_TRUE(h.window.messageBoxes.empty());
    EXPECT_FALSE(h.window.destroyed);
}
