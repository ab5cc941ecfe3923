#pragma once
// Static sound buffers: each holds one whole PCM effect, filled once and then played from
// memory. The names and codes are DirectSound's, so the game's sound logic reads the same
// on any platform.
//
// Ownership: the application owns the sound system and keeps it alive until the game has
// shut down. A buffer belongs to whoever created it and ends with its Release, which must
// come before the system is destroyed.
// Threads: buffers are created, filled and released on the window thread and played from
// the timer thread, never by two threads at once.
#include <cstdint>

#include "platform/HResult.h"

inline constexpr HRESULT DS_OK = 0;
inline constexpr HRESULT DSERR_INVALIDCALL = static_cast<HRESULT>(0x88780032u);  // not locked
inline constexpr HRESULT DSERR_BADFORMAT = static_cast<HRESULT>(0x88780064u);
inline constexpr HRESULT DSERR_NODRIVER = static_cast<HRESULT>(0x88780078u);

inline constexpr uint16_t WAVE_FORMAT_PCM = 1;
inline constexpr uint32_t DSBSTATUS_PLAYING = 0x1;
inline constexpr uint32_t DSBPLAY_LOOPING = 0x1;
inline constexpr uint32_t DSBLOCK_FROMWRITECURSOR = 0x1;
// Buffer sizes a system accepts, in bytes.
inline constexpr uint32_t DSBSIZE_MIN = 4;
inline constexpr uint32_t DSBSIZE_MAX = 0x0FFFFFFF;
inline constexpr uint32_t DSBFREQUENCY_MIN = 100;
inline constexpr uint32_t DSBFREQUENCY_MAX = 100000;

struct PCMWAVEFORMAT {
    uint16_t wFormatTag = WAVE_FORMAT_PCM;
    uint16_t nChannels = 1;         // 1..2
    uint32_t nSamplesPerSec = 0;
    uint32_t nAvgBytesPerSec = 0;   // nSamplesPerSec * nBlockAlign
    uint16_t nBlockAlign = 0;       // bytes per sample frame
    uint16_t wBitsPerSample = 0;    // 8 (unsigned) or 16 (signed, little-endian)
};

// What every sound system here can play: PCM, mono or stereo, 8 or 16 bits, with the
// block alignment and byte rate that follow from those.
inline bool IsPlayableFormat(const PCMWAVEFORMAT& format)
{
    const bool depthOk = format.wBitsPerSample == 8 || format.wBitsPerSample == 16;
    const bool channelsOk = format.nChannels == 1 || format.nChannels == 2;
    const bool rateOk = format.nSamplesPerSec >= DSBFREQUENCY_MIN &&
                        format.nSamplesPerSec <= DSBFREQUENCY_MAX;
    return format.wFormatTag == WAVE_FORMAT_PCM && depthOk && channelsOk && rateOk &&
           format.nBlockAlign == format.nChannels * format.wBitsPerSample / 8 &&
           format.nAvgBytesPerSec == format.nSamplesPerSec * format.nBlockAlign;
}

class ISoundBuffer {
public:
    virtual ~ISoundBuffer() = default;

    // Hands out the memory for bytes from offset (0..size) in up to two regions; the second
    // is only used when the range wraps round the end, so for a static buffer locked from
    // 0 it is empty (null, 0). DSBLOCK_FROMWRITECURSOR starts at the write cursor instead of
    // offset: 0, since static buffers are filled before they play. Unlock with exactly the
    // regions Lock gave. A device may let go of its copy of the sound once Unlock has
    // handed it over (OpenAL keeps its own), so a second Lock may hand out silence, not
    // what was written before: a caller that locks again writes every byte it wants heard.
    virtual HRESULT Lock(uint32_t offset, uint32_t bytes, void** region1, uint32_t* bytes1,
                         void** region2, uint32_t* bytes2, uint32_t flags) = 0;
    // Takes what was written into the regions as the buffer's sound.
    virtual HRESULT Unlock(void* region1, uint32_t bytes1, void* region2, uint32_t bytes2) = 0;
    // From the current position; flags 0 plays once, DSBPLAY_LOOPING until stopped.
    virtual HRESULT Play(uint32_t reserved, uint32_t priority, uint32_t flags) = 0;
    // Keeps the position, as a pause would.
    virtual HRESULT Stop() = 0;
    virtual HRESULT SetCurrentPosition(uint32_t position) = 0;  // bytes, 0..size
    // The play cursor in bytes from the start; either pointer may be null.
    virtual HRESULT GetCurrentPosition(uint32_t* playCursor, uint32_t* writeCursor) = 0;
    virtual HRESULT GetStatus(uint32_t* status) = 0;            // DSBSTATUS_* bits
    virtual void Release() = 0;
};

class ISoundSystem {
public:
    virtual ~ISoundSystem() = default;

    // A static buffer of bytes (DSBSIZE_MIN..DSBSIZE_MAX) in the given format, silent until
    // filled. Fails with *buffer null for a size out of range or a format the system cannot
    // play (DSERR_BADFORMAT).
    virtual HRESULT CreateSoundBuffer(const PCMWAVEFORMAT& format, uint32_t bytes,
                                      ISoundBuffer** buffer) = 0;
};
