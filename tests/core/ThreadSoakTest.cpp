// The controller with a timer thread of its own: the real timer ticking it while another
// thread paints and toggles the active flag, through state switches, and a close that
// meets a tick in the middle of a state switch. Run under ThreadSanitizer it must stay
// silent.
#include <gtest/gtest.h>

#include <atomic>
#include <condition_variable>
#include <thread>

#include "game/Game.h"
#include "game/Globals.h"
#include "input/Input.h"
#include "objects/GameObject.h"
#include "objects/ObjectTable.h"
#include "platform/posix/ThreadTimer.h"
#include "tests/fakes/GameHarness.h"

namespace {

// Runs the game's timer eight times faster, and before each tick plays the player's part
// on the timer thread: space now and then, and a lost ship when a run has gone on a while.
class CSoakTimer final : public IMultimediaTimer {
public:
    CSoakTimer() { ticks = 0; }  // a repeated run counts afresh
    bool GetDevCaps(uint32_t* a, uint32_t* b) override { return m_timer.GetDevCaps(a, b); }
    void BeginPeriod(uint32_t r) override { m_timer.BeginPeriod(r); }
    void EndPeriod(uint32_t r) override { m_timer.EndPeriod(r); }
    uint32_t SetEvent(uint32_t delayMs, uint32_t res, TimerCallback callback, uintptr_t user) override
    {
        s_callback = callback;
        return m_timer.SetEvent(delayMs / 8, res, Trampoline, user);
    }
    void KillEvent(uint32_t id) override { m_timer.KillEvent(id); }

    static std::atomic<int> ticks;
    // Set once the harness has started: until then it swaps the game's sound under the
    // ticks, which a player's game never does.
    static std::atomic<bool> open;

private:
    static void Trampoline(uint32_t id, uint32_t msg, uintptr_t user, uintptr_t r1, uintptr_t r2)
    {
        if (!open) return;
        const int n = ticks++;
        g_keyState[DIK_SPACE] = (n % 300 == 0) ? 0x80 : 0;
        g_dwInput = 0;
        if (n % 97 == 50) {
            std::lock_guard<std::mutex> lock(g_lock);
            delete g_objects[1];
            g_objects[1] = nullptr;
            g_nLives = 0;
        }
        s_callback(id, msg, user, r1, r2);
    }
    static TimerCallback s_callback;
    CThreadTimer m_timer;
};

std::atomic<int> CSoakTimer::ticks{0};
std::atomic<bool> CSoakTimer::open{false};
TimerCallback CSoakTimer::s_callback = nullptr;

}  // namespace

TEST(ThreadSoakTest, TickAndPaintRunTogetherThroughStateSwitches)
{
    CSoakTimer timer;
    CGameHarness h(&timer);
    h.Start();
    CSoakTimer::open = true;
    std::atomic<bool> stop{false};
    std::thread painter([&] {
        int n = 0;
        while (!stop) {
            h.game->Paint();
            if (++n % 50 == 0) h.game->m_bActive = !h.game->m_bActive;
            if (n % 100 == 0) h.game->m_bActive = true;
            std::this_thread::sleep_for(std::chrono::microseconds(500));
        }
    });
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    while (CSoakTimer::ticks < 3000 && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    stop = true;
    painter.join();
    h.Shutdown();
    EXPECT_GE(CSoakTimer::ticks, 3000);
    EXPECT_GE(h.window.messages.size(), 1u);
}

TEST(ThreadSoakTest, ShutdownWaitsForATickCaughtBetweenTwoTimers)
{
    // The tick switches from title to play on a thread of its own and is held where the
    // old timer's id is gone and the new one not yet stored; the close comes then.
    struct FreedUnderTick {};
    CGameHarness h;
    h.Start();
    CGameHarness::SetKey(DIK_SPACE, true);
    std::mutex m;
    std::condition_variable changed;
    bool inGap = false, shutdownCalled = false, shutdownReturned = false;
    std::atomic<bool> held{false};
    h.timer.onKill = [&](uint32_t) {
        if (held.exchange(true)) return;  // only the tick's own kill is held
        std::unique_lock<std::mutex> lock(m);
        inGap = true;
        changed.notify_all();
        changed.wait(lock, [&] { return shutdownCalled; });
        changed.wait_for(lock, std::chrono::milliseconds(100), [&] { return shutdownReturned; });
        // Going on would run the tick into a freed controller.
        if (shutdownReturned) throw FreedUnderTick{};
    };
    bool freedUnderTick = false;
    std::thread timerThread([&] {
        try {
            h.Tick();
        } catch (const FreedUnderTick&) {
            freedUnderTick = true;
        }
    });
    {
        std::unique_lock<std::mutex> lock(m);
        changed.wait(lock, [&] { return inGap; });
        shutdownCalled = true;
        changed.notify_all();
    }
    h.game->Shutdown();
    {
        std::lock_guard<std::mutex> lock(m);
        shutdownReturned = true;
        changed.notify_all();
    }
    timerThread.join();
    EXPECT_FALSE(freedUnderTick);
    EXPECT_FALSE(h.timer.IsRunning()) << "the timer the tick started outlived Shutdown";
}
