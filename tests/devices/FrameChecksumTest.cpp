#include <gtest/gtest.h>

#include <QImage>
#include <cstdio>
#include <string>

#include "platform/Surface.h"
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
    uint64_t checksum;
};

// What the player saw before any drawing was made faster; every later frame must match.
constexpr Golden kGolden[] = {
    {Scene::Title, "title", 0xab1e220f67853e71ull},
    {Scene::Play, "busiest play frame", 0x12f83b042d54024eull},
    {Scene::GameOver, "game over", 0x814f0839bd7b2db6ull},
};

// The scenes in turn, twice, through one display: what one frame leaves behind must never
// show in the next, whatever came before it.
TEST(FrameChecksumTest, EveryScenePaintsExactlyItsGoldenFrameWhateverCameBefore)
{
    EnsureGuiApplication();
    CRealOverlays overlays;
    CBusyScene busy(overlays.Devices(), Scene::Title);
    ASSERT_NE(busy.Display().m_pddsTitle, nullptr) << "data/title.bmp";
    for (int round = 0; round < 2; ++round) {
        for (const Golden& golden : kGolden) {
            busy.Show(golden.scene);
            busy.Paint();
            const uint64_t got = ColourChecksum(*busy.Display().m_pddsBack);
            if (round == 0) Save(*busy.Display().m_pddsBack, golden.name);
            char hex[24];
            std::snprintf(hex, sizeof hex, "0x%016llxull", static_cast<unsigned long long>(got));
            EXPECT_EQ(got, golden.checksum) << golden.name << " in round " << round << ": " << hex;
        }
    }
}

}  // namespace
