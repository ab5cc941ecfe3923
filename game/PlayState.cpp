#include "game/PlayState.h"

#include <cstdio>
#include <mutex>

#include "game/Game.h"
#include "game/Globals.h"
#include "game/StageScripts.h"
#include "game/TitleState.h"
#include "objects/Enemy.h"
#include "objects/ObjectTable.h"
#include "objects/PlayerShip.h"
#include "objects/Track.h"
#include "render/Camera.h"
#include "render/Display.h"
#include "sound/Sound.h"

namespace {
constexpr int32_t kRespawnDelay = 32;
constexpr int32_t kGameOverLength = 200;
constexpr int32_t kStartLives = 3;
constexpr float kSpawnZ = -5000.0f;

void PrintHud(int32_t x, int32_t y, const char* format, int32_t value)
{
    char text[32];
    std::snprintf(text, sizeof text, format, value);
    g_pDisplay->PrintText(g_pDisplay->m_pddsBack, x, y, text);
}
}  // namespace

void ResetCamera()
{
    g_pCamera->SetView(0, 200, 1000, 0, 0, 0, 0, 1, 0, 0);
}

void CPlayState::Begin()
{
    m_bGameOver = false;
    g_nScore = 0;
    g_nLives = kStartLives;
    g_nStage = 0;
    {
        // Under the lock: the paint may be walking the table and drawing with the view.
        std::lock_guard<std::mutex> lock(g_lock);
        AddScenery(new CTrack);
        AddPlayer(new CPlayerShip);
        ResetCamera();
    }
    SelectScript(g_nStage);
    m_nStageTicks = 0;
    m_nRespawnTicks = 0;
    g_pSound->Play(SND_READY, 0);
}

void CPlayState::SelectScript(int32_t stage)
{
    m_pScript = g_stageScripts[stage % kStageScripts];
}

bool CPlayState::Update()
{
    if (m_bGameOver) return m_nGameOverTicks++ != kGameOverLength;
    UpdateWorld();
    if (RespawnOrEnd()) return true;
    StepScript();
    return true;
}

void CPlayState::UpdateWorld()
{
    {
        std::lock_guard<std::mutex> lock(g_lock);
        g_pCamera->Refresh();
    }
    UpdateObjects();
}

bool CPlayState::RespawnOrEnd()
{
    if (g_objects[1] != nullptr) return false;
    if (m_nRespawnTicks++ != kRespawnDelay) return false;
    if (g_nLives == 0) {
        m_nGameOverTicks = 0;
        m_bGameOver = true;
        g_pSound->Play(SND_OVER, 0);
        return true;
    }
    m_nRespawnTicks = 0;
    std::lock_guard<std::mutex> lock(g_lock);
    AddPlayer(new CPlayerShip);
    ResetCamera();
    return false;
}

void CPlayState::StepScript()
{
    const SPAWNENTRY& entry = *m_pScript;
    if (entry.nTick == -1) {
        m_nStageTicks = 0;
        ++g_nStage;
        SelectScript(g_nStage);
        return;
    }
    // An entry whose tick has passed still fires, so a script can never stall a stage.
    if (entry.nTick > m_nStageTicks++) return;
    std::lock_guard<std::mutex> lock(g_lock);
    AddEnemy(new CEnemy(0, 0, kSpawnZ, entry.nAngleX, entry.nAngleY, entry.nStepX, entry.nStepY));
    ++m_pScript;
}

void CPlayState::Render()
{
    RenderScene();
    PrintHud(40, 10, "Score: %06d", g_nScore);
    PrintHud(300, 10, "Lives: %d", g_nLives);
    PrintHud(520, 10, "Stage: %02d", g_nStage + 1);
    if (m_bGameOver) g_pDisplay->PrintText(g_pDisplay->m_pddsBack, 284, 200, "Game Over");
}
