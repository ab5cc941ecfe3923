// Every suite here runs the real timer thread; the ThreadSanitizer build runs Thread*.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

#include "platform/posix/ThreadTimer.h"

namespace {

using namespace std::chrono_literals;

struct Probe {
    CThreadTimer* timer = nullptr;
    std::atomic<int> calls{0};
    std::atomic<uint32_t> restartedId{0};
    std::atomic<bool> inside{false};
    std::atomic<bool> finished{false};
    std::atomic<int> sleepFirstMs{0};
};

void Count(uint32_t, uint32_t, uintptr_t user, uintptr_t, uintptr_t)
{
    Probe* p = reinterpret_cast<Probe*>(user);
    if (p->calls++ == 0 && p->sleepFirstMs > 0) std::this_thread::sleep_for(std::chrono::milliseconds(p->sleepFirstMs));
}

void RestartOnFirstCall(uint32_t id, uint32_t, uintptr_t user, uintptr_t, uintptr_t)
{
    Probe* p = reinterpret_cast<Probe*>(user);
    if (p->calls++ == 0) {
        p->timer->KillEvent(id);
        p->restartedId = p->timer->SetEvent(2, 1, RestartOnFirstCall, user);
    }
}

void SlowCallback(uint32_t, uint32_t, uintptr_t user, uintptr_t, uintptr_t)
{
    Probe* p = reinterpret_cast<Probe*>(user);
    p->inside = true;
    std::this_thread::sleep_for(50ms);
    p->finished = true;
}

template <typename Pred>
bool WaitFor(Pred pred)
{
    const auto deadline = std::chrono::steady_clock::now() + 10s;
    while (!pred()) {
        if (std::chrono::steady_clock::now() > deadline) return false;
        std::this_thread::sleep_for(1ms);
    }
    return true;
}

}  // namespace

TEST(ThreadTimerTest, RunsPeriodicallyUntilKilled)
{
    CThreadTimer timer;
    Probe p;
    const uint32_t id = timer.SetEvent(2, 1, Count, reinterpret_cast<uintptr_t>(&p));
    ASSERT_NE(id, 0u);
    EXPECT_TRUE(WaitFor([&] { return p.calls >= 5; }));
    timer.KillEvent(id);
    const int after = p.calls;
    std::this_thread::sleep_for(20ms);
    EXPECT_EQ(p.calls, after);
}

TEST(ThreadTimerTest, CallbackCanKillItsOwnTimerAndStartAnother)
{
    CThreadTimer timer;
    Probe p;
    p.timer = &timer;
    timer.SetEvent(2, 1, RestartOnFirstCall, reinterpret_cast<uintptr_t>(&p));
    EXPECT_TRUE(WaitFor([&] { return p.calls >= 5; }));
    ASSERT_NE(p.restartedId, 0u);
    timer.KillEvent(p.restartedId);
}

TEST(ThreadTimerTest, KillFromAnotherThreadWaitsForTheRunningCallback)
{
    CThreadTimer timer;
    Probe p;
    const uint32_t id = timer.SetEvent(2, 1, SlowCallback, reinterpret_cast<uintptr_t>(&p));
    ASSERT_TRUE(WaitFor([&] { return p.inside.load(); }));
    timer.KillEvent(id);
    EXPECT_TRUE(p.finished);
}

TEST(ThreadTimerTest, ALatePeriodIsNotMadeUpForEveryMissedDeadline)
{
    CThreadTimer timer;
    Probe p;
    p.sleepFirstMs = 100;  // ten periods missed
    const uint32_t id = timer.SetEvent(10, 1, Count, reinterpret_cast<uintptr_t>(&p));
    ASSERT_TRUE(WaitFor([&] { return p.calls >= 1; }));
    std::this_thread::sleep_for(125ms);  // the late call, then at most a few on the grid
    timer.KillEvent(id);
    EXPECT_LE(p.calls, 5);
}

TEST(ThreadTimerTest, RefusesAZeroDelay)
{
    CThreadTimer timer;
    EXPECT_EQ(timer.SetEvent(0, 1, Count, 0), 0u);
}
