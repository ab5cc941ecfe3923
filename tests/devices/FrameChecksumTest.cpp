#include <gtest/gtest.h>

#include <QFontInfo>
#include <QImage>
#include <string>
#include <utility>
#include <vector>

#include "platform/Surface.h"
#include "platform/TextPainter.h"
#include "tests/devices/GuiApplication.h"
#include "tests/devices/RealOverlays.h"
#include "tools/scene/BusyScene.h"
#include "tests/fakes/FrameChecksum.h"

namespace {

using Scene = CBusyScene::Scene;

// With VANTOR_SHOTS set, each frame is also saved there as a PNG to look at.
void Save(const CSurface& surface, const char* name)
{
    const QString folder = qEnvironmentVariable("VANTOR_SHOTS");
    if (folder.isEmpty()) return;
    const QImage image(reinterpret_cast<const uchar*>(surface.Pixels()), surface.Width(), surface.Height(),
                       qsizetype(surface.Width()) * 4, QImage::Format_RGB32);
    image.save(folder + QLatin1Char('/') + QString::fromLatin1(name).replace(QLatin1Char(' '), QLatin1Char('-')) + ".png");
}

struct Golden {
    Scene scene;
    const char* name;
    uint64_t sceneChecksum;  // without the texts: the device's drawing and the title picture
    uint64_t checksum;       // the whole frame, its texts drawn in DejaVu Sans
};

// What the player saw before any drawing was made faster; every later frame must match. The
// scene checksums were taken later, from a build whose whole frames still matched.
constexpr Golden kGolden[] = {
    {Scene::Title, "title", 0xf20ed061696df921ull, 0xab1e220f67853e71ull},
    {Scene::Play, "busiest play frame", 0x1a82346265cbc6fbull, 0x12f83b042d54024eull},
    {Scene::GameOver, "game over", 0xeefcf76c72fce580ull, 0x814f0839bd7b2db6ull},
};

// How golden's frame of one round is called in messages and in the file of a mismatch.
std::string FrameName(const Golden& golden, const char* kind, int round)
{
    std::string name = std::string("FrameChecksumTest ") + golden.name + kind;
    return round == 0 ? name : name + " round " + std::to_string(round + 1);
}

// Paints the scenes in turn, twice, through busy's one display, holding each frame to the
// checksum of golden's member; a frame that differs is left as a PNG named with kind.
void ExpectEveryScene(CBusyScene& busy, uint64_t Golden::*checksum, const char* kind, bool save)
{
    for (int round = 0; round < 2; ++round) {
        for (const Golden& golden : kGolden) {
            busy.Show(golden.scene);
            busy.Paint();
            const CSurface& back = *busy.Display().m_pddsBack;
            const uint64_t got = ColourChecksum(back);
            if (save && round == 0) Save(back, golden.name);
            // The message, and with it the file, is made only when the checksums differ.
            EXPECT_EQ(got, golden.*checksum) << golden.name << " in round " << round << ": " << ChecksumText(got)
                                             << "; " << SaveMismatch(back, FrameName(golden, kind, round));
        }
    }
}

// The scenes without their texts: the device's drawing and the title picture, which no
// font on the system can change. What one frame leaves behind must never show in the
// next, whatever came before it.
TEST(FrameChecksumTest, EverySceneWithoutItsTextsPaintsExactlyItsGoldenPictureWhateverCameBefore)
{
    EnsureGuiApplication();
    CRealOverlays overlays;
    CBusyScene busy(overlays.WithoutTexts(), Scene::Title);
    ASSERT_NE(busy.Display().m_pddsTitle, nullptr) << "data/title.bmp";
    ExpectEveryScene(busy, &Golden::sceneChecksum, " without texts", false);
}

// Draws with the real painter while on; while off draws nothing, as no painter would.
// Keeps the cell of each text drawn since the last Take.
class CTextSwitch final : public ITextPainter {
public:
    struct Cell {
        std::string text;
        RECT rect;
    };
    explicit CTextSwitch(ITextPainter& painter) : m_painter(painter) {}
    HRESULT TextOut(CSurface& surface, int32_t x, int32_t y, const char* text, uint32_t color) override
    {
        if (!on) return S_OK;
        int32_t width = 0, height = 0;
        m_painter.GetTextExtent(text, &width, &height);
        m_cells.push_back({text, RECT{x, y, x + width, y + height}});
        return m_painter.TextOut(surface, x, y, text, color);
    }
    void GetTextExtent(const char* text, int32_t* width, int32_t* height) override
    {
        m_painter.GetTextExtent(text, width, height);
    }
    void SetScale(float scale) override { m_painter.SetScale(scale); }
    std::vector<Cell> Take() { return std::exchange(m_cells, {}); }

    bool on = false;

private:
    ITextPainter& m_painter;
    std::vector<Cell> m_cells;
};

// How far past its cell a glyph may reach: a few pixels in any font drawn at 13 pixels.
constexpr int32_t kOverhang = 2;

// The texts apart from the scene, in whatever font the system draws DejaVu Sans with: each
// frame of each scene painted without its texts, then with them, in turn and twice, through
// one display. Without, the frame is the golden scene, so no text of the frame before stays
// behind. With, the texts change only pixels in or just around their own cells, each text
// some, and only to the texts' white.
TEST(FrameChecksumTest, TextsChangeOnlyTheirOwnCellsToWhiteAndLeaveNothingBehind)
{
    EnsureGuiApplication();
    CRealOverlays overlays;
    CTextSwitch texts(overlays.painter);
    DisplayDevices devices = overlays.Devices();
    devices.pTextPainter = &texts;
    CBusyScene busy(devices, Scene::Title);
    const CSurface& back = *busy.Display().m_pddsBack;
    const int32_t width = back.Width(), height = back.Height();
    for (int round = 0; round < 2; ++round) {
        for (const Golden& golden : kGolden) {
            busy.Show(golden.scene);
            texts.on = false;
            busy.Paint();
            const uint64_t got = ColourChecksum(back);
            EXPECT_EQ(got, golden.sceneChecksum)
                << golden.name << " without its texts, after a frame with texts, in round " << round << ": "
                << ChecksumText(got) << "; "
                << SaveMismatch(back, FrameName(golden, " without texts after texts", round));
            const std::vector<uint32_t> scene(back.Pixels(), back.Pixels() + size_t(width) * size_t(height));

            texts.on = true;
            busy.Paint();
            const std::vector<CTextSwitch::Cell> cells = texts.Take();
            ASSERT_FALSE(cells.empty()) << golden.name;
            std::vector<int> changedIn(cells.size(), 0);
            int stray = 0, notWhite = 0;
            std::string firstStray, firstNotWhite;
            for (int32_t y = 0; y < height; ++y) {
                for (int32_t x = 0; x < width; ++x) {
                    const uint32_t pixel = back.Pixel(x, y) & 0xFFFFFFu;
                    if (pixel == (scene[size_t(y) * size_t(width) + size_t(x)] & 0xFFFFFFu)) continue;
                    const std::string where = "(" + std::to_string(x) + ", " + std::to_string(y) + ")";
                    if (pixel != 0xFFFFFFu && notWhite++ == 0) firstNotWhite = where;
                    bool inCell = false;
                    for (size_t i = 0; i < cells.size(); ++i) {
                        const RECT& r = cells[i].rect;
                        if (x < r.left - kOverhang || x >= r.right + kOverhang || y < r.top - kOverhang ||
                            y >= r.bottom + kOverhang)
                            continue;
                        inCell = true;
                        ++changedIn[i];
                    }
                    if (!inCell && stray++ == 0) firstStray = where;
                }
            }
            bool drawn = true;
            for (const int changed : changedIn) drawn = drawn && changed > 0;
            const std::string file = drawn && stray == 0 && notWhite == 0
                                         ? std::string()
                                         : SaveMismatch(back, FrameName(golden, " texts", round));
            for (size_t i = 0; i < cells.size(); ++i)
                EXPECT_GT(changedIn[i], 0) << golden.name << " in round " << round << ": \"" << cells[i].text
                                           << "\" drew nothing; " << file;
            EXPECT_EQ(stray, 0) << golden.name << " in round " << round
                                << ": pixels changed outside every text's cell, the first at " << firstStray
                                << "; " << file;
            EXPECT_EQ(notWhite, 0)
                << golden.name << " in round " << round
                << ": pixels changed to another colour than the texts' white, the first at " << firstNotWhite
                << "; " << file;
        }
    }
}

// The whole frames, texts and all, as the player saw them. Their texts are DejaVu Sans as
// this system's Qt and FreeType draw it at 13 pixels without antialiasing: on a system
// that draws it otherwise these may differ while the two tests above still hold.
TEST(FrameChecksumTest, EveryScenePaintsExactlyItsGoldenFrameWhateverCameBefore)
{
    EnsureGuiApplication();
    CRealOverlays overlays;
    const QString family = QFontInfo(overlays.painter.Font()).family();
    if (family != QLatin1String("DejaVu Sans"))
        GTEST_SKIP() << "the texts would be drawn in " << family.toStdString()
                     << ", the golden frames' in DejaVu Sans";
    CBusyScene busy(overlays.Devices(), Scene::Title);
    ASSERT_NE(busy.Display().m_pddsTitle, nullptr) << "data/title.bmp";
    ExpectEveryScene(busy, &Golden::checksum, "", true);
}

}  // namespace
