#pragma once
// One effect on OpenAL: its samples in an AL buffer, played through a source of its own
// (COpenAlVoice), so the effect can only ever sound once at a time. Stop pauses the source
// and keeps its place, as a DirectSound buffer does; a rewind goes back to the start.
// Whether a context stands at the moment makes no difference to any call. The samples live
// in AL's buffer once uploaded, where they cannot be read back: a later Lock hands out
// silence, not what was there.
//
// Made by COpenAlSoundSystem. Released, with delete, by Release.
#include <AL/al.h>

#include <vector>

#include "platform/SoundSystem.h"
#include "platform/openal/OpenAlIdleDevice.h"
#include "platform/openal/OpenAlVoice.h"

class COpenAlSoundBuffer final : public ISoundBuffer {
public:
    // format: one IsPlayableFormat accepts; idle: the system's, which outlives the buffer
    // and makes all its AL calls. Null when OpenAL cannot make the buffer.
    static COpenAlSoundBuffer* Create(const PCMWAVEFORMAT& format, uint32_t bytes,
                                      COpenAlIdleDevice& idle);

    HRESULT Lock(uint32_t offset, uint32_t bytes, void** region1, uint32_t* bytes1,
                 void** region2, uint32_t* bytes2, uint32_t flags) override;
    HRESULT Unlock(void* region1, uint32_t bytes1, void* region2, uint32_t bytes2) override;
    HRESULT Play(uint32_t reserved, uint32_t priority, uint32_t flags) override;
    HRESULT Stop() override;
    HRESULT SetCurrentPosition(uint32_t position) override;
    HRESULT GetCurrentPosition(uint32_t* playCursor, uint32_t* writeCursor) override;
    HRESULT GetStatus(uint32_t* status) override;
    void Release() override;

private:
    COpenAlSoundBuffer(const PCMWAVEFORMAT& format, uint32_t bytes, COpenAlIdleDevice& idle);
    ~COpenAlSoundBuffer();

    const PCMWAVEFORMAT m_format;
    const uint32_t m_nBytes;
    std::vector<uint8_t> m_data;  // what Lock hands out; uploaded by Unlock, then let go
    COpenAlIdleDevice& m_idle;
    COpenAlVoice m_voice;
    bool m_bAttached = false;
    bool m_bLocked = false;
};
