#include "platform/openal/OpenAlSoundBuffer.h"

#include <cstddef>

namespace {

ALenum AlFormat(const PCMWAVEFORMAT& format)
{
    if (format.nChannels == 2) {
        return format.wBitsPerSample == 16 ? AL_FORMAT_STEREO16 : AL_FORMAT_STEREO8;
    }
    return format.wBitsPerSample == 16 ? AL_FORMAT_MONO16 : AL_FORMAT_MONO8;
}

// The result of the AL calls since the last check.
HRESULT AlResult()
{
    return alGetError() == AL_NO_ERROR ? DS_OK : E_FAIL;
}

}  // namespace

COpenAlSoundBuffer* COpenAlSoundBuffer::Create(const PCMWAVEFORMAT& format, uint32_t bytes,
                                               COpenAlIdleDevice& idle)
{
    alGetError();
    ALuint buffer = 0;
    alGenBuffers(1, &buffer);
    if (alGetError() != AL_NO_ERROR) return nullptr;
    ALuint source = 0;
    alGenSources(1, &source);
    if (alGetError() != AL_NO_ERROR) {
        alDeleteBuffers(1, &buffer);
        return nullptr;
    }
    return new COpenAlSoundBuffer(format, bytes, buffer, source, idle);
}

COpenAlSoundBuffer::COpenAlSoundBuffer(const PCMWAVEFORMAT& format, uint32_t bytes,
                                       ALuint buffer, ALuint source, COpenAlIdleDevice& idle)
    : m_format(format), m_data(bytes), m_buffer(buffer), m_source(source), m_idle(idle)
{
    m_idle.AddSource(m_source);
}

COpenAlSoundBuffer::~COpenAlSoundBuffer()
{
    m_idle.RemoveSource(m_source);
    alSourceStop(m_source);
    alDeleteSources(1, &m_source);
    alDeleteBuffers(1, &m_buffer);
}

HRESULT COpenAlSoundBuffer::Lock(uint32_t offset, uint32_t bytes, void** region1,
                                 uint32_t* bytes1, void** region2, uint32_t* bytes2,
                                 uint32_t flags)
{
    if (flags & DSBLOCK_FROMWRITECURSOR) offset = 0;
    if (m_bLocked || offset > m_data.size() || bytes > m_data.size() - offset) {
        return E_INVALIDARG;
    }
    m_bLocked = true;
    *region1 = m_data.data() + offset;
    *bytes1 = bytes;
    *region2 = nullptr;
    *bytes2 = 0;
    return DS_OK;
}

HRESULT COpenAlSoundBuffer::Unlock(void*, uint32_t, void*, uint32_t)
{
    if (!m_bLocked) return DSERR_INVALIDCALL;
    m_bLocked = false;
    alGetError();
    // AL refuses new data for a buffer a source holds, and a partial sample frame.
    alSourceStop(m_source);
    alSourcei(m_source, AL_BUFFER, 0);
    const size_t whole = m_data.size() - m_data.size() % m_format.nBlockAlign;
    alBufferData(m_buffer, AlFormat(m_format), m_data.data(), static_cast<ALsizei>(whole),
                 static_cast<ALsizei>(m_format.nSamplesPerSec));
    alSourcei(m_source, AL_BUFFER, static_cast<ALint>(m_buffer));
    return AlResult();
}

HRESULT COpenAlSoundBuffer::Play(uint32_t, uint32_t, uint32_t flags)
{
    alGetError();
    alSourcei(m_source, AL_LOOPING, (flags & DSBPLAY_LOOPING) ? AL_TRUE : AL_FALSE);
    m_idle.Play(m_source);
    return AlResult();
}

HRESULT COpenAlSoundBuffer::Stop()
{
    alGetError();
    alSourcePause(m_source);
    return AlResult();
}

HRESULT COpenAlSoundBuffer::SetCurrentPosition(uint32_t position)
{
    if (position > m_data.size()) return E_INVALIDARG;
    alGetError();
    if (position == 0) {
        alSourceRewind(m_source);
    } else {
        alSourcei(m_source, AL_BYTE_OFFSET, static_cast<ALint>(position));
    }
    return AlResult();
}

HRESULT COpenAlSoundBuffer::GetCurrentPosition(uint32_t* playCursor, uint32_t* writeCursor)
{
    alGetError();
    ALint offset = 0;
    alGetSourcei(m_source, AL_BYTE_OFFSET, &offset);
    if (playCursor != nullptr) *playCursor = static_cast<uint32_t>(offset);
    if (writeCursor != nullptr) *writeCursor = static_cast<uint32_t>(offset);
    return AlResult();
}

HRESULT COpenAlSoundBuffer::GetStatus(uint32_t* status)
{
    alGetError();
    ALint state = AL_INITIAL;
    alGetSourcei(m_source, AL_SOURCE_STATE, &state);
    *status = state == AL_PLAYING ? DSBSTATUS_PLAYING : 0;
    return AlResult();
}

void COpenAlSoundBuffer::Release()
{
    delete this;
}
