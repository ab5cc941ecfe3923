#pragma once
// One effect's AL objects: its buffer, which belongs to the device and stays loaded, and its
// source, which belongs to a context and goes with it. What the game set on the source (the
// looping flag, the place a stopped effect stands at) is kept here while no source exists
// and handed to the next one, so an effect after a silence sounds as it would have anyway.
//
// Not thread-safe: every call comes from COpenAlIdleDevice with its lock held. Calls that
// make, fill or delete AL objects also need a context current; the rest work with or
// without a source, and without one the effect is stopped where it stands.
#include <AL/al.h>

#include <cstdint>

class COpenAlVoice {
public:
    // With a context current. False when AL can make no buffer.
    bool MakeBuffer();
    // With a context current, once the source is gone; the buffer is forgotten.
    void DeleteBuffer();
    ALuint Buffer() const { return m_buffer; }

    // With a context current; a source that cannot be made leaves the effect silent.
    void MakeSource();
    // With the source's context still current.
    void DropSource();
    bool HasSource() const { return m_source != 0; }

    // With a context current. bytes: whole sample frames; rate: frames per second.
    void Fill(ALenum format, const void* data, ALsizei bytes, ALsizei rate);
    // From where the effect stands; with the source made and the device mixing.
    void Start(bool looping);
    // Keeps the place, as a pause would.
    void Pause();
    void Seek(uint32_t position);  // bytes, within the filled samples
    uint32_t Position() const;     // bytes
    bool IsPlaying() const;

private:
    bool IsLive() const;  // playing or paused: the source itself knows its place

    ALuint m_buffer = 0;
    ALuint m_source = 0;     // 0 while no context stands
    bool m_bFilled = false;  // until then a source gets no buffer
    bool m_bLooping = false;
    ALint m_held = 0;        // bytes; the place while no live source holds it
};
