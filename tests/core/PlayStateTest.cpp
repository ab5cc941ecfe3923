#include <gtest/gtest.h>

#include <cstring>

#include "game/Globals.h"
#include "game/PlayState.h"
#include "game/StageScripts.h"
#include "game/TitleState.h"
#include "input/Input.h"
#include "objects/Enemy.h"
#include "objects/GameObject.h"
#include "objects/ObjectTable.h"
#include "objects/PlayerShip.h"
#include "objects/TitleShip.h"
#include "render/Camera.h"
#include "sound/Sound.h"
#include "tests/fakes/GameHarness.h"

namespace {

class PlayStateTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        h.Start();
        CGameHarness::SetKey(DIK_SPACE, true);
        h.Tick();
        CGameHarness::SetKey(DIK_SPACE, false);
        ASSERT_EQ(h.game->m_nState, STATE_PLAY);
    }
    CPlayState& Play() { return *h.game->m_pPlay; }
    void KillShip()
    {
        delete g_objects[1];
        g_objects[1] = nullptr;
        if (g_nLives > 0) --g_nLives;
    }
    int Enemies()
    {
        int n = 0;
        for (int i = 2; i <= 22; ++i) n += g_objects[i] != nullptr;
        return n;
    }
    std::vector<std::string> Hud()
    {
        std::vector<std::string> lines;
        for (const auto& t : h.PaintTexts()) lines.push_back(t.text);
        return lines;
    }
    CGameHarness h;
};

int ScriptLength(const SPAWNENTRY* script)
{
    int n = 0;
    while (script[n].nTick != -1) ++n;
    return n;
}

}  // namespace

TEST(StageScriptsTest, EveryScriptHasItsSpawnsInStrictlyIncreasingTicks)
{
    const int lengths[kStageScripts] = {12, 12, 16, 16, 12, 12, 12, 16, 18, 18};
    for (int s = 0; s < kStageScripts; ++s) {
        const SPAWNENTRY* script = g_stageScripts[s];
        EXPECT_EQ(ScriptLength(script), lengths[s]) << "script " << s;
        EXPECT_EQ(script[0].nTick, 200) << "script " << s;
        for (int i = 0; script[i].nTick != -1; ++i) {
            if (i > 0) {
                EXPECT_GT(script[i].nTick, script[i - 1].nTick) << "script " << s << " entry " << i;
            }
            EXPECT_GE(script[i].nAngleX, 0);
            EXPECT_LT(script[i].nAngleX, 360);
            EXPECT_EQ(script[i].nReserved0, 0);
            EXPECT_EQ(script[i].nReserved1, 1);
        }
    }
    EXPECT_EQ(g_stageScripts[3][0].nStepX, -2);
    EXPECT_EQ(g_stageScripts[9][17].nAngleY, 340);
}

TEST_F(PlayStateTest, ANewRunStartsWithThreeLivesStageOneAndNoScore)
{
    EXPECT_EQ(Hud(), (std::vector<std::string>{"Score: 000000", "Lives: 3", "Stage: 01"}));
    EXPECT_NE(dynamic_cast<CPlayerShip*>(g_objects[1]), nullptr);
    EXPECT_EQ(Play().m_pScript, g_stageScripts[0]);
    EXPECT_EQ(h.sound.PlayCount(SND_READY), 1);
}

TEST_F(PlayStateTest, ALostShipComesBack32TicksAfterTheDeathTickUnderAFreshCamera)
{
    const Matrix4 startView = h.device.view;
    const int angle = static_cast<CPlayerShip*>(g_objects[1])->m_nAngle;
    g_dwInput = INPUT_LEFT | INPUT_UP;  // left over from before the tick: read nothing
    g_pCamera->m_vEye.y = 260.0f;       // as the ship raises it
    g_pCamera->m_fRoll = 0.1f;
    h.Ticks(10);
    EXPECT_EQ(static_cast<CPlayerShip*>(g_objects[1])->m_nAngle, angle);
    EXPECT_NE(std::memcmp(&h.device.view, &startView, sizeof startView), 0) << "the view follows the camera";
    KillShip();
    h.Ticks(32);  // the death tick counts 0, these count 1..31... and 32 respawns
    EXPECT_EQ(g_objects[1], nullptr);
    h.Tick();
    EXPECT_NE(g_objects[1], nullptr);
    EXPECT_EQ(g_nLives, 2);
    EXPECT_EQ(g_pCamera->m_vEye.y, 200.0f);
    EXPECT_EQ(g_pCamera->m_fRoll, 0.0f);
    EXPECT_EQ(std::memcmp(&h.device.view, &startView, sizeof startView), 0);
}

TEST_F(PlayStateTest, TheThirdDeathEndsTheRunAfterTheGameOverPhase)
{
    g_nScore = 1500;
    KillShip();
    h.Ticks(33);
    KillShip();
    h.Ticks(33);
    KillShip();
    ASSERT_EQ(g_nLives, 0);
    h.Ticks(32);
    EXPECT_FALSE(Play().m_bGameOver);
    EXPECT_EQ(h.sound.PlayCount(SND_OVER), 0);
    h.Tick();
    EXPECT_TRUE(Play().m_bGameOver);
    EXPECT_EQ(h.sound.PlayCount(SND_OVER), 1);
    const float trackZ = g_objects[0]->m_vPos.z;
    const CGameObject* ship = g_objects[1];
    for (int i = 0; i < 200; ++i) {
        ASSERT_TRUE(Play().Update()) << i;
    }
    EXPECT_EQ(g_objects[0]->m_vPos.z, trackZ);
    EXPECT_EQ(g_objects[1], ship);
    const auto hud = Hud();
    ASSERT_EQ(hud.size(), 4u);
    EXPECT_EQ(hud[0], "Score: 001500");
    EXPECT_EQ(hud[1], "Lives: 0");
    EXPECT_EQ(hud[3], "Game Over");
    EXPECT_FALSE(Play().Update());
}

TEST_F(PlayStateTest, TheFirstEnemyComesOnThe201stScriptStep)
{
    h.Ticks(200);
    EXPECT_EQ(Enemies(), 0);
    h.Tick();
    EXPECT_EQ(Enemies(), 1);
    auto* enemy = dynamic_cast<CEnemy*>(g_objects[2]);
    ASSERT_NE(enemy, nullptr);
    EXPECT_EQ(enemy->m_vPos.z, -4990.0f);
}

TEST_F(PlayStateTest, ScriptTwoSpawnsItsFirstFourTenTicksApart)
{
    g_nStage = 2;
    Play().SelectScript(2);
    std::vector<int> spawnTicks;
    for (int tick = 1; tick <= 240; ++tick) {
        const int before = Enemies();
        h.Tick();
        if (Enemies() > before) spawnTicks.push_back(tick);
    }
    EXPECT_EQ(spawnTicks, (std::vector<int>{201, 211, 221, 231}));
    EXPECT_EQ(Hud()[2], "Stage: 03");
}

TEST_F(PlayStateTest, AFinishedStageStartsTheNextAtOnceAndKeepsItsEnemies)
{
    g_objects[1]->m_vPos = {0, 100000, 0};  // out of every enemy's way
    static_cast<CPlayerShip*>(g_objects[1])->m_nSafeTicks = 1000000;
    h.Ticks(1101);  // script 0's last spawn, at script tick 1100
    EXPECT_EQ(g_nStage, 0);
    const int alive = Enemies();
    EXPECT_GT(alive, 0);
    h.Tick();  // reads the end marker
    EXPECT_EQ(g_nStage, 1);
    EXPECT_EQ(Play().m_nStageTicks, 0);
    EXPECT_EQ(Play().m_pScript, g_stageScripts[1]);
    EXPECT_GE(Enemies(), alive - 1);
}

TEST_F(PlayStateTest, StageTenPlaysScriptZeroAndShowsEleven)
{
    g_nStage = 9;
    Play().SelectScript(9);
    while (Play().m_pScript->nTick != -1) Play().m_pScript++;
    h.Tick();
    EXPECT_EQ(g_nStage, 10);
    EXPECT_EQ(Play().m_pScript, g_stageScripts[0]);
    EXPECT_EQ(Hud()[2], "Stage: 11");
}

TEST_F(PlayStateTest, AFullEnemyRangeStillAdvancesTheScript)
{
    for (int i = 2; i <= 22; ++i) g_objects[i] = new CTitleShip(0, 0, -100000);
    h.Ticks(201);
    EXPECT_EQ(Play().m_pScript, g_stageScripts[0] + 1);
}

TEST_F(PlayStateTest, TitleStartsTheNextRunAtOnceWhenSpaceIsStillHeld)
{
    KillShip();
    g_nLives = 0;
    h.Ticks(33 + 200);
    CGameHarness::SetKey(DIK_SPACE, true);
    h.Tick();  // ends the run: the title is entered with space down
    EXPECT_EQ(h.game->m_nState, STATE_TITLE);
    h.Tick();
    EXPECT_EQ(h.game->m_nState, STATE_PLAY);
}

TEST_F(PlayStateTest, TitleIgnoresArrowsAndControl)
{
    KillShip();
    g_nLives = 0;
    h.Ticks(33 + 201);
    ASSERT_EQ(h.game->m_nState, STATE_TITLE);
    for (int key : {DIK_LEFT, DIK_RIGHT, DIK_UP, DIK_DOWN, DIK_LCONTROL}) CGameHarness::SetKey(key, true);
    h.Ticks(20);
    EXPECT_EQ(h.game->m_nState, STATE_TITLE);
    EXPECT_NE(dynamic_cast<CTitleShip*>(g_objects[2]), nullptr);
}
