#include <gtest/gtest.h>

#include "game/Globals.h"
#include "game/HighScores.h"
#include "game/PendingHighScore.h"
#include "game/PlayState.h"
#include "input/Input.h"
#include "objects/GameObject.h"
#include "objects/ObjectTable.h"
#include "objects/PlayerShip.h"
#include "objects/TitleShip.h"
#include "objects/Track.h"
#include "render/Camera.h"
#include "tests/fakes/GameHarness.h"
#include "tests/fakes/ScratchFolder.h"

namespace {

class GameTest : public ::testing::Test {
protected:
    void Press(int key) { CGameHarness::SetKey(key, true); }
    void Release(int key) { CGameHarness::SetKey(key, false); }
    // Leaves the run with no ship and no lives, so the game-over phase follows.
    void LoseEverything()
    {
        delete g_objects[1];
        g_objects[1] = nullptr;
        g_nLives = 0;
    }
    CGameHarness h;
};

}  // namespace

TEST_F(GameTest, ConstructionPublishesTheControllerAndTheDisplayDevice)
{
    EXPECT_EQ(g_pGame, h.game.get());
    EXPECT_EQ(g_pD3DDevice, &h.device);
    EXPECT_EQ(g_pViewport, h.device.Viewport());
    EXPECT_EQ(g_sinTable[90], 1.0);
    EXPECT_FALSE(h.game->m_bActive);
    EXPECT_EQ(h.game->m_uTimerID, 0u);
}

TEST_F(GameTest, StartEntersTheTitleWithItsSceneTimerAndProjection)
{
    size_t recordingAtFirstTimer = 0;
    h.timer.onSet = [&] { recordingAtFirstTimer = h.sound.buffers.size(); };
    h.Start();
    EXPECT_EQ(recordingAtFirstTimer, 5u) << "the harness replaced g_pSound under a running timer";
    EXPECT_TRUE(h.game->m_bActive);
    EXPECT_EQ(h.game->m_nState, STATE_TITLE);
    ASSERT_EQ(h.timer.events.size(), 1u);
    EXPECT_EQ(h.timer.events[0].delayMs, 16u);
    EXPECT_NE(dynamic_cast<CTrack*>(g_objects[0]), nullptr);
    EXPECT_NE(dynamic_cast<CTitleShip*>(g_objects[2]), nullptr);
    EXPECT_NEAR(h.device.projection.m[0][0], 1.90536f, 1e-4f);
    EXPECT_NEAR(h.device.projection.m[1][1], 2.54048f, 1e-4f);
    EXPECT_FLOAT_EQ(h.device.projection.m[3][2], -50.0f);
    EXPECT_FLOAT_EQ(g_pCamera->m_vEye.z, 1000.0f);
    // A window manager's frame leaves a smaller game area: the projection follows it.
    ASSERT_TRUE(h.game->ResizeDisplay(638, 440));
    EXPECT_NEAR(h.device.projection.m[0][0], 2.54048f * 440 / 638, 1e-4f);
    EXPECT_NEAR(h.device.projection.m[1][1], 2.54048f, 1e-4f);
}

TEST_F(GameTest, TickWhileInactiveChangesNothing)
{
    h.Start();
    h.game->m_bActive = false;
    const float z = g_objects[0]->m_vPos.z;
    Press(DIK_SPACE);
    h.Ticks(5);
    EXPECT_EQ(h.window.invalidates, 0);
    EXPECT_EQ(g_objects[0]->m_vPos.z, z);
    EXPECT_EQ(h.game->m_nState, STATE_TITLE);
    h.game->m_bActive = true;
    h.Tick();
    EXPECT_EQ(h.window.invalidates, 1);
}

TEST_F(GameTest, SpaceOnATitleTickStartsTheRunOnThatTick)
{
    h.Start();
    h.Tick();
    EXPECT_EQ(h.game->m_nState, STATE_TITLE);
    Press(DIK_SPACE);
    h.Tick();
    EXPECT_EQ(h.game->m_nState, STATE_PLAY);
    EXPECT_EQ(dynamic_cast<CTitleShip*>(g_objects[2]), nullptr);
    EXPECT_NE(dynamic_cast<CPlayerShip*>(g_objects[1]), nullptr);
    EXPECT_NE(dynamic_cast<CTrack*>(g_objects[0]), nullptr);
    EXPECT_EQ(h.timer.events.size(), 1u);
    EXPECT_EQ(h.timer.killed.size(), 1u);  // the title's timer, killed from its own callback
}

TEST_F(GameTest, EndOfRunReachesTheFrameWithTheTitleAlreadyRunning)
{
    h.Start();
    Press(DIK_SPACE);
    h.Tick();
    Release(DIK_SPACE);
    LoseEverything();
    bool checked = false;
    h.window.onMessage = [&](uint32_t message) {
        EXPECT_EQ(message, WM_USER);
        EXPECT_EQ(h.game->m_nState, STATE_TITLE);
        EXPECT_NE(dynamic_cast<CTitleShip*>(g_objects[2]), nullptr);
        EXPECT_EQ(h.timer.events.size(), 1u);
        checked = true;
    };
    h.Ticks(33 + 200);
    EXPECT_TRUE(h.window.messages.empty());
    h.Tick();
    EXPECT_TRUE(checked);
    EXPECT_EQ(h.window.messages.size(), 1u);
}

TEST_F(GameTest, ShutdownStopsTheTimerThenKeepsANameBeingTypedBeforeItFreesAnything)
{
    h.Start();
    g_pendingHighScore.Open(4500);
    g_pendingHighScore.Type("Ann");
    bool stoppedFirst = false;
    h.timer.onKill = [&](uint32_t) {
        stoppedFirst = g_pCamera != nullptr && g_pInput != nullptr && g_objects[0] != nullptr;
    };
    h.Shutdown();
    EXPECT_TRUE(stoppedFirst);
    EXPECT_EQ(g_highScores[0].nScore, 4500);
    EXPECT_STREQ(g_highScores[0].szName, "Ann");
    EXPECT_EQ(CScratchFolder::Read("data/hi.sav").at(4), 'A');
    EXPECT_FALSE(g_pendingHighScore.IsOpen());
    EXPECT_FALSE(h.timer.IsRunning());
    for (CGameObject* slot : g_objects) EXPECT_EQ(slot, nullptr);
}

TEST_F(GameTest, PaintDrawsTheSceneUnderOneClearThenTheOverlays)
{
    h.Start();
    h.device.calls.clear();
    const auto texts = h.PaintTexts();
    ASSERT_GE(h.device.calls.size(), 3u);
    EXPECT_EQ(h.device.calls.front(), "clear");
    EXPECT_EQ(h.device.calls[1], "begin");
    EXPECT_EQ(h.device.calls.back(), "end");
    ASSERT_EQ(texts.size(), 2u);
    EXPECT_EQ(texts[0].text, "written by Marvesto");
    EXPECT_EQ(texts[0].x, 220);
    EXPECT_EQ(texts[1].text, "press SPACE to start");
    EXPECT_EQ(texts[1].y, 380);
}

TEST_F(GameTest, HudShowsScoreLivesAndStageInTheirFormats)
{
    h.Start();
    Press(DIK_SPACE);
    h.Tick();
    auto texts = h.PaintTexts();
    ASSERT_EQ(texts.size(), 3u);
    EXPECT_EQ(texts[0].text, "Score: 000000");
    EXPECT_EQ(texts[0].x, 40);
    EXPECT_EQ(texts[1].text, "Lives: 3");
    EXPECT_EQ(texts[1].x, 300);
    EXPECT_EQ(texts[2].text, "Stage: 01");
    EXPECT_EQ(texts[2].x, 520);
    EXPECT_EQ(texts[2].color, 0xFFFFFFu);
    g_nScore = 1234567;
    LoseEverything();
    h.Ticks(33);
    texts = h.PaintTexts();
    ASSERT_EQ(texts.size(), 4u);
    EXPECT_EQ(texts[0].text, "Score: 1234567");
    EXPECT_EQ(texts[3].text, "Game Over");
    EXPECT_EQ(texts[3].x, 284);
    EXPECT_EQ(texts[3].y, 200);
}

TEST_F(GameTest, PauseFreezesARunUnderACentredPausedAndIsIgnoredOnTheTitle)
{
    h.Start();
    h.game->TogglePause();
    h.Tick();
    EXPECT_EQ(h.window.invalidates, 1) << "the title goes on";
    Press(DIK_SPACE);
    h.Tick();
    Release(DIK_SPACE);
    ASSERT_EQ(h.game->m_nState, STATE_PLAY);

    h.game->TogglePause();
    const int repaints = h.window.invalidates;
    const float track = g_objects[0]->m_vPos.z;
    h.Ticks(40);
    EXPECT_EQ(h.window.invalidates, repaints);
    EXPECT_EQ(g_objects[0]->m_vPos.z, track);
    auto texts = h.PaintTexts();
    ASSERT_EQ(texts.size(), 4u);
    EXPECT_EQ(texts[3].text, "Paused");
    EXPECT_EQ(texts[3].x, (640 - 6 * CRecordingTextPainter::kCharWidth) / 2);
    EXPECT_EQ(texts[3].y, (480 - CRecordingTextPainter::kCharHeight) / 2);

    h.game->TogglePause();
    h.Tick();
    EXPECT_NE(g_objects[0]->m_vPos.z, track);
    EXPECT_EQ(h.PaintTexts().size(), 3u);

    // A run frozen because the window went to the back says so too.
    h.game->m_bActive = false;
    texts = h.PaintTexts();
    ASSERT_EQ(texts.size(), 4u);
    EXPECT_EQ(texts[3].text, "Paused");
    h.game->m_bActive = true;
    EXPECT_EQ(h.PaintTexts().size(), 3u);
}

TEST_F(GameTest, NoTimerMeansNoTicksButTheGameStillStarts)
{
    h.timer.failCaps = true;
    EXPECT_FALSE(h.game->Start());
    EXPECT_TRUE(h.game->m_bActive);
    EXPECT_FALSE(h.timer.IsRunning());
}
