#pragma once
// One run from start to game over: score, three lives, respawn 32 ticks after a death,
// the stage scripts in a cycle of ten, and a 201-tick "Game Over" at the end.
//
// Begin and Update run on the timer thread (Begin only from the controller's state switch,
// with the object table empty); Render runs on the window thread from the paint.
#include <atomic>
#include <cstdint>

struct SPAWNENTRY;

class CPlayState {
public:
    CPlayState() = default;
    virtual ~CPlayState() = default;

    void Begin();
    // Points m_pScript at the first entry of script stage mod 10; stage >= 0.
    void SelectScript(int32_t stage);
    // False exactly once: on the tick that ends the game-over phase.
    bool Update();
    void Render();

    std::atomic<bool> m_bGameOver{false};  // read by the paint for the HUD
    int32_t m_nGameOverTicks = 0;
    const SPAWNENTRY* m_pScript = nullptr;
    int32_t m_nStageTicks = 0;
    int32_t m_nRespawnTicks = 0;

private:
    void UpdateWorld();
    // True when the game-over phase has just begun, which skips this tick's script step.
    bool RespawnOrEnd();
    void StepScript();
};

// Places the camera where every run and every new ship starts; the caller holds g_lock.
void ResetCamera();
