#pragma once
// The game controller: owns input, sound, the camera and the two states, and drives the
// game from a 16 ms periodic timer. There is one, reached through g_pGame.
//
// Call order (window thread): construction, Start, then Paint for every paint request and
// Shutdown when the frame closes; the frame then deletes the controller.
// Tick runs on the timer thread, only through TimerProc and only while m_bActive is set.
#include <atomic>
#include <cstdint>
#include <mutex>

class CDisplay;
class CTitleState;
class CPlayState;
class IWindow;
struct PlatformInstance;

inline constexpr int32_t STATE_TITLE = 0;
inline constexpr int32_t STATE_PLAY = 1;

class CGame {
public:
    // hInstance and pFrame must outlive the controller; pDisplay becomes g_pDisplay.
    CGame(const PlatformInstance* hInstance, IWindow* pFrame, CDisplay* pDisplay);
    virtual ~CGame() = default;
    CGame(const CGame&) = delete;
    CGame& operator=(const CGame&) = delete;

    // Loads the effects, builds the meshes, sets up camera, projection and states, enters
    // the title and marks the game active. Returns whether the timer started.
    bool Start();
    void Tick();
    // The current state's picture; a run that stands still, paused or with the window
    // inactive, says "Paused" over it.
    void Paint();
    // Window thread, between paints: the display is made again for a game area of this
    // size and the projection follows it. False, nothing changed, for a size out of range.
    bool ResizeDisplay(int32_t width, int32_t height);
    // Waits for a running tick, whichever timer started it, and stops every timer; no
    // tick runs once it has begun, and nothing is freed. Any thread, also while the
    // process exits, but not from inside a tick.
    void Halt();
    // Halts, confirms a name entry still open (g_pendingHighScore) before anything is
    // torn down, then frees everything but the display. Window thread.
    void Shutdown();
    // Window thread: the player's pause key. Pauses or resumes a run; on the title, where
    // the name entry also runs, it does nothing. A paused game ticks as an inactive one.
    void TogglePause();
    bool IsPaused() const;

    bool StartTimer();
    void StopTimer();
    bool EnterTitle();
    bool EnterPlay();
    // Reads data/hi.sav, or creates it with the default table when it is missing.
    void LoadHighScores();

    std::atomic<bool> m_bActive{false};  // written by the window thread, read by the tick
    std::atomic<bool> m_bPaused{false};  // likewise
    std::atomic<int32_t> m_nState{STATE_TITLE};
    std::atomic<uint32_t> m_uTimerRes{0};
    std::atomic<uint32_t> m_uTimerID{0};  // 0: no timer
    const PlatformInstance* m_hInstance;
    IWindow* m_pFrame;
    CTitleState* m_pTitle = nullptr;
    CPlayState* m_pPlay = nullptr;
    // Held by TimerProc around each tick, so Shutdown can wait for one without knowing
    // its timer: a state switch drops the old timer's id before it stores the new one.
    std::mutex m_tickLock;

private:
    void PollInput();
    void RunState();
    void RunTitle();
    void RunPlay();
    void SetProjection();
    void PrintPaused();
};

// The timer's callback; user is the controller.
void TimerProc(uint32_t id, uint32_t message, uintptr_t user, uintptr_t reserved1, uintptr_t reserved2);
// Re-acquires the input devices, if there are any (window thread).
void AcquireInput();
// Deletes every object of the table under g_lock.
void ClearObjects();
// Clears the frame, begins the scene, renders every occupied slot under g_lock, ends it.
void RenderScene();
