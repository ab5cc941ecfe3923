#pragma once
// The sound system on OpenAL Soft's default device, one buffer and one source per effect.
// The device mixes, and its context with the sources exists, only while effects sound
// (COpenAlIdleDevice).
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
    // have printed while looking for a device. The context the device is checked with
    // stays for the loads that follow, until a silence ends it.
    static std::unique_ptr<COpenAlSoundSystem> Create(COpenAlIdleDevice::Delays delays = {});
    // Takes both; context: current.
    COpenAlSoundSystem(ALCdevice* device, ALCcontext* context, COpenAlIdleDevice::Delays delays);
    ~COpenAlSoundSystem() override;
    COpenAlSoundSystem(const COpenAlSoundSystem&) = delete;
    COpenAlSoundSystem& operator=(const COpenAlSoundSystem&) = delete;

    HRESULT CreateSoundBuffer(const PCMWAVEFORMAT& format, uint32_t bytes,
                              ISoundBuffer** buffer) override;
    // False while the device is paused or without a context for want of anything to play.
    bool IsMixing() const;
    bool HasContext() const;

private:
    ALCdevice* m_pDevice;
    std::unique_ptr<COpenAlIdleDevice> m_pIdle;  // goes before the device
};
