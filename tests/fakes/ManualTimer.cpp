#include "tests/fakes/ManualTimer.h"

#include <algorithm>

bool CManualTimer::GetDevCaps(uint32_t* periodMin, uint32_t* periodMax)
{
    *periodMin = 1;
    *periodMax = 1000;
    return !failCaps;
}

uint32_t CManualTimer::SetEvent(uint32_t delayMs, uint32_t, TimerCallback callback, uintptr_t user)
{
    if (onSet) onSet();
    events.push_back({m_nextId, delayMs, callback, user});
    return m_nextId++;
}

void CManualTimer::KillEvent(uint32_t id)
{
    if (onKill) onKill(id);
    killed.push_back(id);
    std::erase_if(events, [id](const Event& e) { return e.id == id; });
}

void CManualTimer::Fire()
{
    // A callback may kill its own event and start another; the new one waits its period.
    const std::vector<Event> due = events;
    for (const Event& e : due) {
        const bool live = std::any_of(events.begin(), events.end(), [&](const Event& x) { return x.id == e.id; });
        if (live) e.callback(e.id, 0, e.user, 0, 0);
    }
}

void CManualTimer::Run(int n)
{
    for (int i = 0; i < n; ++i) Fire();
}
