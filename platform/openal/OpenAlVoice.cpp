#include "platform/openal/OpenAlVoice.h"

namespace {

ALint SourceState(ALuint source)
{
    ALint state = AL_INITIAL;
    alGetSourcei(source, AL_SOURCE_STATE, &state);
    return state;
}

}  // namespace

bool COpenAlVoice::MakeBuffer()
{
    alGetError();
    alGenBuffers(1, &m_buffer);
    if (alGetError() == AL_NO_ERROR) return true;
    m_buffer = 0;
    return false;
}

void COpenAlVoice::DeleteBuffer()
{
    alDeleteBuffers(1, &m_buffer);
    m_buffer = 0;
    m_bFilled = false;
}

void COpenAlVoice::MakeSource()
{
    alGetError();
    alGenSources(1, &m_source);
    if (alGetError() != AL_NO_ERROR) {
        m_source = 0;
        return;
    }
    if (m_bFilled) alSourcei(m_source, AL_BUFFER, static_cast<ALint>(m_buffer));
    alSourcei(m_source, AL_LOOPING, m_bLooping ? AL_TRUE : AL_FALSE);
}

void COpenAlVoice::DropSource()
{
    if (m_source == 0) return;
    // A paused effect resumes from its place; a stopped one already has it in m_held.
    if (SourceState(m_source) == AL_PAUSED) alGetSourcei(m_source, AL_BYTE_OFFSET, &m_held);
    alDeleteSources(1, &m_source);
    m_source = 0;
}

void COpenAlVoice::Fill(ALenum format, const void* data, ALsizei bytes, ALsizei rate)
{
    // AL refuses new data for a buffer a source holds.
    if (m_source != 0) {
        alSourceStop(m_source);
        alSourcei(m_source, AL_BUFFER, 0);
    }
    alBufferData(m_buffer, format, data, bytes, rate);
    m_bFilled = true;
    m_held = 0;
    if (m_source != 0) alSourcei(m_source, AL_BUFFER, static_cast<ALint>(m_buffer));
}

void COpenAlVoice::Start(bool looping)
{
    m_bLooping = looping;
    alSourcei(m_source, AL_LOOPING, looping ? AL_TRUE : AL_FALSE);
    // On a source that is not live, AL keeps the offset for its next play.
    if (!IsLive() && m_held > 0) alSourcei(m_source, AL_BYTE_OFFSET, m_held);
    alSourcePlay(m_source);
    m_held = 0;
}

void COpenAlVoice::Pause()
{
    if (m_source != 0) alSourcePause(m_source);
}

void COpenAlVoice::Seek(uint32_t position)
{
    if (position == 0) {
        if (m_source != 0) alSourceRewind(m_source);
        m_held = 0;
    } else if (IsLive()) {
        alSourcei(m_source, AL_BYTE_OFFSET, static_cast<ALint>(position));
    } else {
        m_held = static_cast<ALint>(position);
    }
}

uint32_t COpenAlVoice::Position() const
{
    ALint offset = m_held;
    if (IsLive()) alGetSourcei(m_source, AL_BYTE_OFFSET, &offset);
    return static_cast<uint32_t>(offset);
}

bool COpenAlVoice::IsPlaying() const
{
    return m_source != 0 && SourceState(m_source) == AL_PLAYING;
}

bool COpenAlVoice::IsLive() const
{
    if (m_source == 0) return false;
    const ALint state = SourceState(m_source);
    return state == AL_PLAYING || state == AL_PAUSED;
}
