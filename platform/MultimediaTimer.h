#pragma once
// A periodic callback on a thread of its own, the game's 16 ms heartbeat.
//
// Contract of every implementation:
//  - periods fall on absolute deadlines (start + k * delay): no drift, and a late period is
//    run once, not made up for every deadline it missed;
//  - SetEvent and KillEvent may be called from inside a callback, also for the event that
//    is running, so a callback can kill its own timer and start another;
//  - KillEvent from any other thread returns only once no callback is running, so the
//    caller may free what the callbacks use.
#include <cstdint>

using TimerCallback = void (*)(uint32_t id, uint32_t message, uintptr_t user, uintptr_t reserved1,
                               uintptr_t reserved2);

class IMultimediaTimer {
public:
    virtual ~IMultimediaTimer() = default;

    virtual bool GetDevCaps(uint32_t* periodMin, uint32_t* periodMax) = 0;
    virtual void BeginPeriod(uint32_t resolutionMs) = 0;
    virtual void EndPeriod(uint32_t resolutionMs) = 0;
    // Periodic; returns the event id, or 0 when no timer could be created.
    virtual uint32_t SetEvent(uint32_t delayMs, uint32_t resolutionMs, TimerCallback callback,
                              uintptr_t user) = 0;
    virtual void KillEvent(uint32_t id) = 0;
};
