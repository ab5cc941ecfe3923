#pragma once
// A sound system that records what the game asked of it: the buffers it created, with
// their formats and bytes, and every call on them in order. It owns its buffers, so a
// test can look at one after the game released it.
//
// For object and state tests: InstallRecordingSound puts a CSound over this system into
// g_pSound with slots 0..4 filled, so buffer k is effect k and PlayCount(SND_LASER) counts
// the laser shots.
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "platform/SoundSystem.h"
#include "tests/fakes/RecordingSoundBuffer.h"

class CSound;

class CRecordingSoundSystem final : public ISoundSystem {
public:
    struct Event {
        int buffer;          // the buffer's id: creation order from 0
        std::string what;    // "lock", "unlock", "play", "stop", "rewind", "release"
        bool operator==(const Event&) const = default;
    };

    HRESULT CreateSoundBuffer(const PCMWAVEFORMAT& format, uint32_t bytes,
                              ISoundBuffer** buffer) override;

    void Record(int buffer, const char* what);
    // Plays of buffer id; 0 for a buffer never created.
    int PlayCount(int buffer) const;
    // The events of one buffer, in order.
    std::vector<std::string> EventsOf(int buffer) const;

    std::vector<std::unique_ptr<CRecordingSoundBuffer>> buffers;
    std::vector<Event> events;
    HRESULT createResult = DS_OK;  // a failure here makes every create fail
    HRESULT lockResult = DS_OK;    // given to every buffer created from now on

private:
    mutable std::mutex m_lock;  // Play comes from the timer thread in threaded tests
};

// Replaces g_pSound (deleting the old one) with a CSound over system whose slots 0..4 hold
// buffers 0..4. system must have no buffers yet; the caller keeps it alive while g_pSound
// is in use.
CSound* InstallRecordingSound(CRecordingSoundSystem& system);
