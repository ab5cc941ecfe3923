#include "platform/posix/ThreadTimer.h"

#include <algorithm>

CThreadTimer::CThreadTimer() : m_thread([this] { Run(); }) {}

CThreadTimer::~CThreadTimer()
{
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_bQuit = true;
    }
    m_wake.notify_all();
    m_thread.join();
}

bool CThreadTimer::GetDevCaps(uint32_t* periodMin, uint32_t* periodMax)
{
    *periodMin = 1;
    *periodMax = 1000000;
    return true;
}

uint32_t CThreadTimer::SetEvent(uint32_t delayMs, uint32_t, TimerCallback callback, uintptr_t user)
{
    if (delayMs == 0 || callback == nullptr) return 0;
    std::lock_guard<std::mutex> lock(m_mutex);
    const uint32_t id = m_nextId++;
    if (m_nextId == 0) m_nextId = 1;
    const auto period = std::chrono::milliseconds(delayMs);
    m_events.push_back({id, period, Clock::now() + period, callback, user});
    m_wake.notify_all();
    return id;
}

void CThreadTimer::KillEvent(uint32_t id)
{
    std::unique_lock<std::mutex> lock(m_mutex);
    std::erase_if(m_events, [id](const Event& e) { return e.id == id; });
    m_wake.notify_all();
    // From inside a callback there is nothing to wait for: the caller is that callback.
    if (std::this_thread::get_id() == m_thread.get_id() || !m_bRunning) return;
    const uint64_t seen = m_nCallbacks;
    m_callbackDone.wait(lock, [&] { return m_nCallbacks != seen; });
}

CThreadTimer::Event* CThreadTimer::Find(uint32_t id)
{
    auto it = std::find_if(m_events.begin(), m_events.end(), [id](const Event& e) { return e.id == id; });
    return it == m_events.end() ? nullptr : &*it;
}

CThreadTimer::Event* CThreadTimer::Earliest()
{
    auto it = std::min_element(m_events.begin(), m_events.end(),
                               [](const Event& a, const Event& b) { return a.due < b.due; });
    return it == m_events.end() ? nullptr : &*it;
}

void CThreadTimer::Run()
{
    std::unique_lock<std::mutex> lock(m_mutex);
    while (!m_bQuit) {
        Event* next = Earliest();
        if (next == nullptr) {
            m_wake.wait(lock);
            continue;
        }
        const Clock::time_point due = next->due;
        if (Clock::now() < due) {
            m_wake.wait_until(lock, due);
            continue;  // the events may have changed while waiting
        }
        RunDue(lock, *next);
    }
}

void CThreadTimer::RunDue(std::unique_lock<std::mutex>& lock, Event event)
{
    m_bRunning = true;
    lock.unlock();
    event.callback(event.id, 0, event.user, 0, 0);
    lock.lock();
    m_bRunning = false;
    ++m_nCallbacks;
    m_callbackDone.notify_all();

    Event* live = Find(event.id);
    if (live == nullptr) return;
    live->due += live->period;
    const Clock::time_point now = Clock::now();
    if (live->due <= now) {
        // Late: skip the deadlines already missed instead of firing a burst to catch up.
        const auto missed = (now - live->due) / live->period + 1;
        live->due += live->period * missed;
    }
}
