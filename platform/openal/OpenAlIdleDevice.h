#pragma once
// Keeps an OpenAL device's costs to the moments the game sounds. OpenAL Soft mixes silence
// for as long as a context stands, and every context holds its mixer voices, several
// megabytes, whatever it plays; the game's effects sound a fraction of the time and the
// title screen none. So the device pauses (where it has the pause extension) once nothing
// has played for a moment, the context and its sources go after a longer silence, and the
// next play makes them again. Buffers belong to the device and stay loaded throughout.
// Measured against a context that stands throughout, its device only paused: 7.5 MB less
// resident on the title (7.4 MB through PulseAudio), the same CPU; a device never paused
// costs the game 28 % more CPU on the title.
//
// Made by the sound system with the context it checked the device with, current; the
// context is taken over. Every voice is attached before use and detached before it goes,
// and all are detached before this object goes. All calls may come from any thread and
// are serialised here. Play never waits on the device: without a context, or while the
// device is being paused, it is queued, and the watcher thread starts it as soon as the
// context stands and mixes, some milliseconds later. Attach and Fill wait for a context,
// so they belong on the window thread.
#include <AL/al.h>
#include <AL/alc.h>

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <thread>
#include <vector>

#include "platform/openal/OpenAlVoice.h"

class COpenAlIdleDevice {
public:
    // Silences, counted from the end of the last sound, after which the mixer pauses and
    // then the context goes; pause < drop for the pause to matter. The drop waits long:
    // a new context means a new stream on the sound server, which some servers start late
    // (a PulseAudio null sink: up to 2 s), so it is for the title screen and a paused
    // game, not for the lulls of a run.
    struct Delays {
        std::chrono::milliseconds pause{300};
        std::chrono::milliseconds drop{10000};
    };

    COpenAlIdleDevice(ALCdevice* device, ALCcontext* context, Delays delays);  // device not owned
    ~COpenAlIdleDevice();
    COpenAlIdleDevice(const COpenAlIdleDevice&) = delete;
    COpenAlIdleDevice& operator=(const COpenAlIdleDevice&) = delete;

    // A context for the device as the game uses it; null when the device cannot have one.
    static ALCcontext* CreateContext(ALCdevice* device);

    // Makes the voice's buffer; false when there is no context or AL makes no buffer.
    bool Attach(COpenAlVoice& voice);
    void Detach(COpenAlVoice& voice);
    // The results are true unless AL reported an error.
    bool Fill(COpenAlVoice& voice, ALenum format, const void* data, ALsizei bytes, ALsizei rate);
    bool Play(COpenAlVoice& voice, bool looping);
    bool Stop(COpenAlVoice& voice);
    bool Seek(COpenAlVoice& voice, uint32_t position);
    bool Position(const COpenAlVoice& voice, uint32_t* position) const;
    // A queued play counts as playing.
    bool IsPlaying(const COpenAlVoice& voice) const;
    bool IsMixing() const;
    bool HasContext() const;

private:
    using PauseFunction = void(ALC_APIENTRY*)(ALCdevice*);
    using Lock = std::unique_lock<std::mutex>;
    struct QueuedPlay {
        COpenAlVoice* voice;
        bool looping;
    };

    template <typename Act>
    bool CallAl(Act act) const;
    bool AwaitContext(Lock& lock);
    void ForgetQueuedPlay(const COpenAlVoice& voice);
    bool ContextWanted() const;
    bool AnyPlaying() const;
    void Start(COpenAlVoice& voice, bool looping);
    void WatchForSilence();
    void MakeReadyAndStartQueued(Lock& lock);
    bool MakeContext(Lock& lock);
    void PauseMixer(Lock& lock);
    void DropContext(Lock& lock);
    void DeleteOrphanedBuffers();

    ALCdevice* const m_pDevice;
    const Delays m_delays;
    PauseFunction m_pPause = nullptr;   // both null without the extension
    PauseFunction m_pResume = nullptr;
    mutable std::mutex m_mutex;         // guards everything below, and every AL call
    std::condition_variable m_wake;     // for the watcher
    std::condition_variable m_ready;    // for those waiting on a context
    ALCcontext* m_pContext;             // null while there is none
    std::vector<COpenAlVoice*> m_voices;
    std::vector<QueuedPlay> m_queued;   // waiting for a context or the end of a pause
    std::vector<ALuint> m_orphans;      // buffers detached while no context stood
    int m_waiters = 0;
    bool m_bPaused = false;
    bool m_bPausing = false;            // the watcher pauses the device, unlocked
    bool m_bUsedSinceCheck = false;
    bool m_bBroken = false;             // a context could not be made: silent from then on
    bool m_bQuit = false;
    std::thread m_watcher;              // last: starts once the rest is ready
};
