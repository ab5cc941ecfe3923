#include <gtest/gtest.h>

#include "objects/Explosion.h"
#include "objects/TitleShip.h"
#include "objects/Track.h"
#include "tests/fakes/GameHarness.h"

namespace {
class SceneryTest : public ::testing::Test {
protected:
    CObjectWorld world;
};
}  // namespace

TEST_F(SceneryTest, ExplosionMoves70TimesAndIsGoneOnThe71st)
{
    CExplosion e(0, 0, 500);
    for (int i = 0; i < 70; ++i) ASSERT_TRUE(e.Update()) << i;
    EXPECT_EQ(e.m_vPos.z, 1900.0f);
    EXPECT_FALSE(e.Update());
    EXPECT_EQ(e.m_vScale.x, 1.2f);
}

TEST_F(SceneryTest, TrackCyclesBackToExactly500Every25Updates)
{
    CTrack track;
    for (int i = 0; i < 24; ++i) track.Update();
    EXPECT_EQ(track.m_vPos.z, 884.0f);
    EXPECT_EQ(track.m_nScroll, 384);
    track.Update();
    EXPECT_EQ(track.m_vPos.z, 500.0f);
    EXPECT_EQ(track.m_nScroll, 0);
    for (int i = 0; i < 25 * 40; ++i) track.Update();
    EXPECT_EQ(track.m_vPos.z, 500.0f);
}

TEST_F(SceneryTest, TrackDrawsWithTranslationOnlyAsLines)
{
    CTrack track;
    track.Update();
    track.Render();
    ASSERT_EQ(world.device.draws.size(), 1u);
    EXPECT_EQ(world.device.draws[0].type, D3DPT_LINELIST);
    EXPECT_EQ(world.device.world.m[3][2], 516.0f);
    EXPECT_EQ(world.device.world.m[0][0], 1.0f);
}

TEST_F(SceneryTest, TitleShipTumblesAHundredthOfARadianPerTickOnEachAxis)
{
    CTitleShip ship(0, 100, 600);
    float expected = 0.0f;
    for (int i = 0; i < 100; ++i) {
        ship.Update();
        expected += 0.01f;
    }
    EXPECT_EQ(ship.m_vRot.x, expected);
    EXPECT_EQ(ship.m_vRot.y, expected);
    EXPECT_EQ(ship.m_vRot.z, expected);
    EXPECT_NEAR(expected, 1.0f, 1e-4f);
    EXPECT_EQ(ship.m_vScale.y, 2.0f);
}
