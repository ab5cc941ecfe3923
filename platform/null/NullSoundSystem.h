#pragma once
// A sound system with no device behind it: buffers take their fill and report success,
// but never sound. It accepts exactly the formats and sizes a real system would.
#include "platform/SoundSystem.h"

class CNullSoundSystem final : public ISoundSystem {
public:
    HRESULT CreateSoundBuffer(const PCMWAVEFORMAT& format, uint32_t bytes,
                              ISoundBuffer** buffer) override;
};
