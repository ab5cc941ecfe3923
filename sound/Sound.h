#pragma once
// The five sound effects, one static buffer per slot, played fire-and-forget by index.
// An effect triggered while it still sounds starts again from the beginning, so there is
// never more than one instance of it; different effects sound together.
//
// Call order: Init (window thread), LoadWav for each effect (window thread), Play from
// the tick (timer thread, one thread at a time, only after the loads), ReleaseAll before
// deletion (window thread, once no tick runs).
// Ownership: the sound system belongs to the application and outlives this object; the
// buffers belong to this object and end in ReleaseAll, not in the destructor.
// Without a sound system nothing loads and Play stays silent, reporting success for any
// index it accepts.
#include <cstdint>
#include <cstdio>

class IWindow;
class ISoundSystem;
class ISoundBuffer;

inline constexpr int SND_LASER = 0;
inline constexpr int SND_BULLET = 1;
inline constexpr int SND_EXPLO = 2;
inline constexpr int SND_READY = 3;
inline constexpr int SND_OVER = 4;

inline constexpr int kSoundSlots = 16;
// The canonical header: RIFF, a 16-byte "fmt " chunk and the "data" chunk header. The
// sample data of a file with no other chunks starts here.
inline constexpr long kWavHeaderSize = 44;

class CSound {
public:
    CSound() = default;
    virtual ~CSound() = default;
    CSound(const CSound&) = delete;
    CSound& operator=(const CSound&) = delete;

    // system may be null (no audio device): returns false and the game stays silent.
    bool Init(IWindow* hWnd, ISoundSystem* system);
    // index: 0..15. Reads a RIFF WAVE file of integer PCM (format tag 1, or the extensible
    // tag with the PCM sub-format), whatever other chunks come before or between its
    // "fmt " and "data" chunks. Anything that is not a regular file, a file whose data
    // chunk promises more than it holds, or a format no buffer can take fails before
    // anything is allocated for it; the slot is then empty.
    bool LoadWav(const char* path, int index);
    // Replaces slot index with an empty buffer. bitsPerSample 8 or 16, blockAlign >= 1.
    bool CreateBuffer(int index, uint32_t dataBytes, uint32_t samplesPerSec,
                      uint16_t bitsPerSample, uint16_t blockAlign, bool stereo);
    // Reads bytes from file into buffer; offset -1 reads from where the file stands.
    bool FillBuffer(ISoundBuffer* buffer, std::FILE* file, uint32_t bytes, long offset);
    // index >= 16 fails; an empty slot succeeds silently; flags are the buffer's play flags.
    bool Play(uint32_t index, uint32_t flags);
    void ReleaseAll();

    ISoundSystem* m_pDS = nullptr;
    ISoundBuffer* m_pBuffers[kSoundSlots] = {};

private:
    bool LoadOpenWav(std::FILE* file, int index);
    void ReleaseSlot(int index);
};
