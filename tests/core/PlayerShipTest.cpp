#include <gtest/gtest.h>

#include "game/Globals.h"
#include "game/TitleState.h"
#include "input/Input.h"
#include "objects/EnemyShot.h"
#include "objects/Explosion.h"
#include "objects/ObjectTable.h"
#include "objects/PlayerShip.h"
#include "objects/PlayerShot.h"
#include "render/Camera.h"
#include "sound/Sound.h"
#include "tests/fakes/GameHarness.h"

namespace {

class PlayerShipTest : public ::testing::Test {
protected:
    void SetUp() override { AddPlayer(new CPlayerShip); }
    CPlayerShip& Ship() { return *static_cast<CPlayerShip*>(g_objects[1]); }
    // One tick of the object walk with these input bits.
    void Tick(uint32_t input)
    {
        g_dwInput = input;
        UpdateObjects();
    }
    void Ticks(int n, uint32_t input)
    {
        for (int i = 0; i < n; ++i) Tick(input);
    }
    CObjectWorld world;
};

}  // namespace

TEST_F(PlayerShipTest, ConstructionPutsTheShipAtTheBottomOfTheTube)
{
    EXPECT_EQ(Ship().m_vPos.x, 0.0f);
    EXPECT_EQ(Ship().m_vPos.y, 20.0f);
    EXPECT_EQ(Ship().m_vPos.z, 500.0f);
    EXPECT_EQ(Ship().m_nSafeTicks, 63);
}

TEST_F(PlayerShipTest, HoldingRightStopsAt96)
{
    Ticks(60, INPUT_RIGHT);
    EXPECT_EQ(Ship().m_nAngle, 96);
    EXPECT_EQ(Ship().m_nBank, 48);
    EXPECT_NEAR(Ship().m_vPos.x, -238.685f, 1e-3f);
    EXPECT_NEAR(Ship().m_vPos.y, 240.906f, 1e-3f);
    EXPECT_NEAR(Ship().m_vRot.z, 0.025f * 48, 1e-4f);
    EXPECT_NEAR(g_pCamera->m_fRoll, -0.005f * 48, 1e-5f);
}

TEST_F(PlayerShipTest, HoldingLeftWrapsTo358FirstAndStopsAt264)
{
    Tick(INPUT_LEFT);
    EXPECT_EQ(Ship().m_nAngle, 358);
    EXPECT_NEAR(Ship().m_vPos.x, 8.376f, 1e-3f);
    EXPECT_NEAR(Ship().m_vPos.y, 20.122f, 1e-3f);
    Ticks(100, INPUT_LEFT);
    EXPECT_EQ(Ship().m_nAngle, 264);
    EXPECT_EQ(Ship().m_nBank, -48);
}

TEST_F(PlayerShipTest, BothSidewaysInputsCancelExceptAtALimit)
{
    Ticks(5, INPUT_LEFT | INPUT_RIGHT);
    EXPECT_EQ(Ship().m_nAngle, 0);
    Ticks(48, INPUT_RIGHT);
    Tick(INPUT_LEFT | INPUT_RIGHT);  // right is at its limit: only left acts
    EXPECT_EQ(Ship().m_nAngle, 94);
}

TEST_F(PlayerShipTest, DepthStaysBetween500AndMinus300AndRaisesTheCamera)
{
    Ticks(150, INPUT_UP);
    EXPECT_EQ(Ship().m_vPos.z, -300.0f);
    EXPECT_EQ(g_pCamera->m_vEye.y, 300.0f);
    Ticks(150, INPUT_DOWN);
    EXPECT_EQ(Ship().m_vPos.z, 500.0f);
    EXPECT_EQ(g_pCamera->m_vEye.y, 200.0f);
}

TEST_F(PlayerShipTest, ImmuneFor63TicksThenAnEnemyShotDestroysIt)
{
    AddEnemyShot(new CEnemyShot(0, 20, 500));
    g_objects[27]->m_vPos.z = 500;  // keep it overlapping: it would fly on
    for (int i = 0; i < 63; ++i) {
        Tick(0);
        ASSERT_NE(g_objects[1], nullptr) << "tick " << i + 1;
        g_objects[27]->m_vPos.z = 500;
    }
    Tick(0);
    EXPECT_EQ(g_objects[1], nullptr);
    EXPECT_EQ(g_nLives, 2);
    EXPECT_EQ(world.Plays(SND_EXPLO), 1);
    ASSERT_NE(g_objects[32], nullptr);
    EXPECT_EQ(g_objects[32]->m_vPos.z, 520.0f);  // placed at the ship, then moved once
}

TEST_F(PlayerShipTest, TheLastLifeGoesToZeroAndNeverBelow)
{
    Ship().m_nSafeTicks = 0;
    g_nLives = 1;
    AddEnemy(new CPlayerShot(0, 20, 580));  // any object in the enemy range will do
    Tick(0);
    EXPECT_EQ(g_nLives, 0);
    AddPlayer(new CPlayerShip);
    Ship().m_nSafeTicks = 0;
    Tick(0);
    EXPECT_EQ(g_nLives, 0);
}

TEST_F(PlayerShipTest, AFullExplosionRangeStillCostsTheLife)
{
    for (int i = 0; i < 8; ++i) AddExplosion(new CExplosion(0, 0, -100000));
    Ship().m_nSafeTicks = 0;
    AddEnemyShot(new CEnemyShot(0, 20, 500));
    Tick(0);
    EXPECT_EQ(g_objects[1], nullptr);
    EXPECT_EQ(g_nLives, 2);
    EXPECT_EQ(world.Plays(SND_EXPLO), 0);
}

TEST_F(PlayerShipTest, OneShotPerPressAndNoFifthShotInFlight)
{
    Tick(INPUT_FIRE);
    ASSERT_NE(g_objects[23], nullptr);
    EXPECT_EQ(g_objects[23]->m_vPos.z, 400.0f);  // 500 - 80, then its first move
    Ticks(2, INPUT_FIRE);
    EXPECT_EQ(CountObjects(23, 26), 1);
    EXPECT_EQ(world.Plays(SND_LASER), 1);
    for (int i = 0; i < 3; ++i) {
        Tick(0);
        Tick(INPUT_FIRE);
    }
    EXPECT_EQ(CountObjects(23, 26), 4);
    Tick(0);
    Tick(INPUT_FIRE);
    EXPECT_EQ(CountObjects(23, 26), 4);
    EXPECT_EQ(world.Plays(SND_LASER), 4);  // the press found no room: no shot, no sound
    // The first shot leaves below -2000; the next press fires again.
    while (g_objects[23] != nullptr) Tick(0);
    Tick(INPUT_FIRE);
    EXPECT_EQ(CountObjects(23, 26), 4);
    EXPECT_EQ(world.Plays(SND_LASER), 5);
}

TEST_F(PlayerShipTest, ShotStartsAtTheNewDepthButTheOldPlace)
{
    Tick(INPUT_RIGHT);
    const float oldX = Ship().m_vPos.x;
    Tick(INPUT_RIGHT | INPUT_UP | INPUT_FIRE);
    ASSERT_NE(g_objects[23], nullptr);
    EXPECT_EQ(g_objects[23]->m_vPos.x, oldX);
    EXPECT_EQ(g_objects[23]->m_vPos.z, 492.0f - 80.0f - 20.0f);
}

TEST_F(PlayerShipTest, BlinksInTwoTickHalvesWhileImmune)
{
    std::string pattern;
    for (int i = 0; i < 8; ++i) {
        world.device.draws.clear();
        Ship().Render();
        pattern += world.device.draws.empty() ? '-' : '#';
        Tick(0);
    }
    EXPECT_EQ(pattern, "--##--##");  // hidden at 63, 62, 59, 58; shown at 61, 60, 57, 56
    Ship().m_nSafeTicks = 0;
    world.device.draws.clear();
    Ship().Render();
    EXPECT_EQ(world.device.draws.size(), 1u);
}

TEST_F(PlayerShipTest, ShotFlies20PerTickAndLeavesOnIts122ndUpdate)
{
    CPlayerShot shot(0, 20, 500);
    int updates = 0;
    while (shot.Update()) ++updates;
    EXPECT_EQ(updates + 1, 122);
    EXPECT_EQ(shot.m_vPos.z, -2020.0f);
}
