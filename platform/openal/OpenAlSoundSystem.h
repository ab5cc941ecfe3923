#pragma once
// The sound system on OpenAL Soft's default device, one buffer and one source per effect.
// The device mixes only while an effect sounds (COpenAlIdleDevice).
//
// The application creates it once on the window thread and keeps it alive until after the
// controller's Shutdown; every buffer must be released before it goes.
#include <AL/alc.h>

#include <memory>

#include "platform/SoundSystem.h"
#include "platform/openal/OpenAlIdleDevice.h"

class COpenAlSoundSystem final : public ISoundSystem {
public:
    // Null when there is no audio device: the game then runs silent. That case costs one
    // debug line and nothing else on standard error, whatever the audio libraries would
    // have printed while looking for a device.
    static std::unique_ptr<COpenAlSoundSystem> Create();
    COpenAlSoundSystem(ALCdevice* device, ALCcontext* context);  // takes both
    ~COpenAlSoundSystem() override;
    COpenAlSoundSystem(const COpenAlSoundSystem&) = delete;
    COpenAlSoundSystem& operator=(const COpenAlSoundSystem&) = delete;

    HRESULT CreateSoundBuffer(const PCMWAVEFORMAT& format, uint32_t bytes,
                              ISoundBuffer** buffer) override;
    // False while the device is paused for want of anything to play.
    bool IsMixing() const;

private:
    ALCdevice* m_pDevice;
    ALCcontext* m_pContext;
    std::unique_ptr<COpenAlIdleDevice> m_pIdle;  // goes before the context
};
