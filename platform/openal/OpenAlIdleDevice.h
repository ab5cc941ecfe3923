#pragma once
// Stops an OpenAL device mixing while none of its sources plays, and wakes it for the next
// play. OpenAL Soft mixes silence for as long as the device is open, a steady cost for a
// game whose effects sound a fraction of the time; where the device lacks the pause
// extension it simply keeps mixing.
//
// Made by the sound system after its context is current, destroyed before the context.
// Sources are added after they are made and removed before they are deleted. Play is the
// only way a source here starts; it may come from any thread, as may everything else.
// A watcher thread of its own pauses the device once no source has played for a while.
#include <AL/al.h>
#include <AL/alc.h>

#include <condition_variable>
#include <mutex>
#include <thread>
#include <vector>

class COpenAlIdleDevice {
public:
    explicit COpenAlIdleDevice(ALCdevice* device);  // not owned; outlives this object
    ~COpenAlIdleDevice();
    COpenAlIdleDevice(const COpenAlIdleDevice&) = delete;
    COpenAlIdleDevice& operator=(const COpenAlIdleDevice&) = delete;

    void AddSource(ALuint source);
    void RemoveSource(ALuint source);
    // Wakes the device if it sleeps, then plays the source from where it stands.
    void Play(ALuint source);
    // False only while the device is paused.
    bool IsMixing() const;

private:
    using PauseFunction = void(ALC_APIENTRY*)(ALCdevice*);

    void Watch();
    bool AnyPlaying() const;  // with m_mutex held

    ALCdevice* const m_pDevice;
    PauseFunction m_pPause = nullptr;   // both null without the extension
    PauseFunction m_pResume = nullptr;
    mutable std::mutex m_mutex;         // guards everything below, and pausing
    std::condition_variable m_wake;
    std::vector<ALuint> m_sources;
    bool m_bPaused = false;
    bool m_bPlayedSinceCheck = false;
    bool m_bQuit = false;
    std::thread m_watcher;              // last: starts once the rest is ready
};
