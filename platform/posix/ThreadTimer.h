#pragma once
// The real periodic timer: one service thread runs the callbacks of every event, each on
// absolute deadlines of the steady clock. The thread starts with the object and is joined
// by its destructor, which must not run on the timer thread.
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <thread>
#include <vector>

#include "platform/MultimediaTimer.h"

class CThreadTimer final : public IMultimediaTimer {
public:
    CThreadTimer();
    ~CThreadTimer() override;
    CThreadTimer(const CThreadTimer&) = delete;
    CThreadTimer& operator=(const CThreadTimer&) = delete;

    bool GetDevCaps(uint32_t* periodMin, uint32_t* periodMax) override;
    void BeginPeriod(uint32_t) override {}
    void EndPeriod(uint32_t) override {}
    uint32_t SetEvent(uint32_t delayMs, uint32_t resolutionMs, TimerCallback callback,
                      uintptr_t user) override;
    void KillEvent(uint32_t id) override;

private:
    using Clock = std::chrono::steady_clock;
    struct Event {
        uint32_t id;
        Clock::duration period;
        Clock::time_point due;
        TimerCallback callback;
        uintptr_t user;
    };

    void Run();
    Event* Find(uint32_t id);
    Event* Earliest();
    void RunDue(std::unique_lock<std::mutex>& lock, Event event);

    std::mutex m_mutex;
    std::condition_variable m_wake;
    std::condition_variable m_callbackDone;
    std::vector<Event> m_events;
    uint32_t m_nextId = 1;
    bool m_bRunning = false;       // a callback is running
    uint64_t m_nCallbacks = 0;     // callbacks finished so far
    bool m_bQuit = false;
    std::thread m_thread;          // last member: starts after the rest is built
};
