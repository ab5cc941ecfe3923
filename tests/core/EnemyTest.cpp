#include <gtest/gtest.h>

#include "game/Globals.h"
#include "game/TitleState.h"
#include "input/Input.h"
#include "objects/Enemy.h"
#include "objects/EnemyShot.h"
#include "objects/Explosion.h"
#include "objects/ObjectTable.h"
#include "objects/PlayerShip.h"
#include "objects/PlayerShot.h"
#include "sound/Sound.h"
#include "tests/fakes/GameHarness.h"

namespace {

class EnemyTest : public ::testing::Test {
protected:
    CEnemy& EnemyAt(int slot) { return *static_cast<CEnemy*>(g_objects[slot]); }
    void AddShipAtBottom()
    {
        AddPlayer(new CPlayerShip);
        static_cast<CPlayerShip*>(g_objects[1])->m_nSafeTicks = 1000;
    }
    CObjectWorld world;
};

}  // namespace

TEST_F(EnemyTest, StandingAtTheShipsPlaceFiresInTheConstructorAndEvery101Updates)
{
    AddShipAtBottom();
    AddEnemy(new CEnemy(0, 0, -5000, 0, 0, 0, 0));
    EXPECT_EQ(EnemyAt(2).m_vPos.x, 0.0f);
    EXPECT_EQ(EnemyAt(2).m_vPos.y, 20.0f);
    ASSERT_NE(g_objects[27], nullptr);
    EXPECT_EQ(g_objects[27]->m_vPos.z, -4990.0f);
    EXPECT_EQ(EnemyAt(2).m_nFireDelay, 100);
    std::vector<int> fired;
    for (int update = 1; update <= 250; ++update) {
        const int before = CountObjects(27, 31);
        EnemyAt(2).Update();
        if (CountObjects(27, 31) > before) fired.push_back(update);
    }
    EXPECT_EQ(fired, (std::vector<int>{101, 202}));
    EXPECT_EQ(world.Plays(SND_BULLET), 3);
}

TEST_F(EnemyTest, EqualStepsMeetTheShipFromTheOtherSide)
{
    AddShipAtBottom();
    auto* ship = static_cast<CPlayerShip*>(g_objects[1]);
    for (int i = 0; i < 10; ++i) {  // ship to theta 20
        g_dwInput = INPUT_RIGHT;
        ship->Update();
    }
    g_dwInput = 0;
    ASSERT_EQ(ship->m_nAngle, 20);
    AddEnemy(new CEnemy(0, 0, -5000, 40, 40, 2, 2));  // turns toward 20 by decreasing
    int firedAtAngle = -1;
    for (int i = 0; i < 20 && firedAtAngle < 0; ++i) {
        if (g_objects[27] != nullptr) firedAtAngle = EnemyAt(2).m_nAngleX;
        else EnemyAt(2).Update();
    }
    EXPECT_EQ(firedAtAngle, 20);
}

TEST_F(EnemyTest, AnglesTurnByTheirStepWithOneWrap)
{
    AddEnemy(new CEnemy(0, 0, -5000, 0, 0, -2, 2));
    EXPECT_EQ(EnemyAt(2).m_nAngleX, 2);
    EXPECT_EQ(EnemyAt(2).m_nAngleY, 358);
    EnemyAt(2).Update();
    EXPECT_EQ(EnemyAt(2).m_nAngleX, 4);
    EXPECT_EQ(EnemyAt(2).m_nAngleY, 356);
}

TEST_F(EnemyTest, OddAnglesNeverLineUpWithTheEvenShip)
{
    AddShipAtBottom();
    AddEnemy(new CEnemy(0, 0, -5000, 1, 1, 2, 2));
    for (int i = 0; i < 400; ++i) EnemyAt(2).Update();
    EXPECT_EQ(CountObjects(27, 31), 0);
}

TEST_F(EnemyTest, TwoShotsOnOneEnemyScore500Once)
{
    AddEnemy(new CEnemy(0, 0, -5000, 0, 0, 0, 0));
    EnemyAt(2).m_vPos.z = -1000;
    AddPlayerShot(new CPlayerShot(0, 20, -920));
    AddPlayerShot(new CPlayerShot(0, 20, -925));
    UpdateObjects();
    EXPECT_EQ(g_objects[2], nullptr);
    EXPECT_EQ(g_nScore, 500);
    EXPECT_EQ(world.Plays(SND_EXPLO), 1);
    EXPECT_NE(g_objects[23], nullptr);  // the shots fly on
    EXPECT_NE(g_objects[24], nullptr);
    ASSERT_NE(g_objects[32], nullptr);
    EXPECT_EQ(g_objects[32]->m_vPos.z, -980.0f);  // spawned this tick, updated this tick
}

TEST_F(EnemyTest, EnemiesSeeTheShotsWhereTheyWereLastTick)
{
    AddEnemy(new CEnemy(0, 0, -5000, 0, 0, 0, 0));
    EnemyAt(2).m_vPos.z = -1000;
    AddPlayerShot(new CPlayerShot(0, 20, -940 + 80));  // at -940
    UpdateObjects();  // enemy tests first (60 apart), then both move: enemy -990, shot -960
    EXPECT_NE(g_objects[2], nullptr);
    UpdateObjects();  // 30 apart at the test: still clear; then -980 and -980
    EXPECT_NE(g_objects[2], nullptr);
    UpdateObjects();
    EXPECT_EQ(g_objects[2], nullptr);
}

TEST_F(EnemyTest, AFullExplosionRangeStillScores)
{
    for (int i = 0; i < 8; ++i) AddExplosion(new CExplosion(0, 0, -100000));
    AddEnemy(new CEnemy(0, 0, -5000, 0, 0, 0, 0));
    AddPlayerShot(new CPlayerShot(0, 20, -4910));
    EnemyAt(2).Update();
    EXPECT_EQ(g_nScore, 500);
    EXPECT_EQ(world.Plays(SND_EXPLO), 0);
}

TEST_F(EnemyTest, ReachingZ1000LeavesSilentlyOnThe600thUpdate)
{
    CEnemy enemy(0, 0, -5000, 90, 90, 0, 0);
    int updates = 1;
    while (enemy.Update()) ++updates;
    EXPECT_EQ(updates + 1, 600);
    EXPECT_EQ(enemy.m_vPos.z, 1000.0f);
    EXPECT_EQ(g_nScore, 0);
    EXPECT_EQ(CountObjects(32, 39), 0);
    EXPECT_EQ(world.Plays(SND_EXPLO), 0);
}

TEST_F(EnemyTest, NoShipMeansNoFireButTheCoolDownRuns)
{
    AddEnemy(new CEnemy(0, 0, -5000, 0, 0, 0, 0));
    EXPECT_EQ(CountObjects(27, 31), 0);
    EnemyAt(2).m_nFireDelay = 3;
    for (int i = 0; i < 5; ++i) EnemyAt(2).Update();
    EXPECT_EQ(EnemyAt(2).m_nFireDelay, 0);
    EXPECT_EQ(CountObjects(27, 31), 0);
}

TEST_F(EnemyTest, FullShotRangeStartsNoCoolDown)
{
    AddShipAtBottom();
    for (int i = 0; i < 5; ++i) AddEnemyShot(new CEnemyShot(0, 0, -100000));
    AddEnemy(new CEnemy(0, 0, -5000, 0, 0, 0, 0));
    EXPECT_EQ(EnemyAt(2).m_nFireDelay, 0);
    EXPECT_EQ(world.Plays(SND_BULLET), 0);
    delete g_objects[27];
    g_objects[27] = nullptr;
    EnemyAt(2).Update();
    EXPECT_NE(g_objects[27], nullptr);
    EXPECT_EQ(EnemyAt(2).m_nFireDelay, 100);
}

TEST_F(EnemyTest, EnemyShotFiredAt980IsRemovedByItsFirstUpdate)
{
    CEnemyShot shot(0, 0, 980);
    EXPECT_FALSE(shot.Update());
    EXPECT_EQ(shot.m_vPos.z, 1008.0f);
    EXPECT_FLOAT_EQ(shot.m_vRot.z, 0.2f);
    CEnemyShot inside(0, 0, 972);
    EXPECT_TRUE(inside.Update());
}
