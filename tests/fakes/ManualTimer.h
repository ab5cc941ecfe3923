#pragma once
// A timer that a test steps by hand: Fire runs every live event's callback once, on the
// calling thread, the way the real timer thread would.
#include <functional>
#include <vector>

#include "platform/MultimediaTimer.h"

class CManualTimer final : public IMultimediaTimer {
public:
    bool GetDevCaps(uint32_t* periodMin, uint32_t* periodMax) override;
    void BeginPeriod(uint32_t) override { ++beginPeriods; }
    void EndPeriod(uint32_t) override { ++endPeriods; }
    uint32_t SetEvent(uint32_t delayMs, uint32_t resolutionMs, TimerCallback callback,
                      uintptr_t user) override;
    void KillEvent(uint32_t id) override;

    void Fire();
    // Fires n times.
    void Run(int n);
    bool IsRunning() const { return !events.empty(); }

    struct Event {
        uint32_t id;
        uint32_t delayMs;
        TimerCallback callback;
        uintptr_t user;
    };
    std::vector<Event> events;
    std::vector<uint32_t> killed;
    std::function<void(uint32_t)> onKill;  // runs before the event is removed
    std::function<void()> onSet;           // runs before an event is added
    bool failCaps = false;
    int beginPeriods = 0;
    int endPeriods = 0;

private:
    uint32_t m_nextId = 1;
};
