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

HRESULT AlResult(bool accepted)
{
    return accepted ? DS_OK : E_FAIL;
}

}  // namespace

COpenAlSoundBuffer* COpenAlSoundBuffer::Create(const PCMWAVEFORMAT& format, uint32_t bytes,
                                               COpenAlIdleDevice& idle)
{
    auto* const made = new COpenAlSoundBuffer(format, bytes, idle);
    made->m_bAttached = idle.Attach(made->m_voice);
    if (made->m_bAttached) return made;
    delete made;
    return nullptr;
}

COpenAlSoundBuffer::COpenAlSoundBuffer(const PCMWAVEFORMAT& format, uint32_t bytes,
                                       COpenAlIdleDevice& idle)
    : m_format(format), m_nBytes(bytes), m_data(bytes), m_idle(idle)
{
}

COpenAlSoundBuffer::~COpenAlSoundBuffer()
{
    if (m_bAttached) m_idle.Detach(m_voice);
}

HRESULT COpenAlSoundBuffer::Lock(uint32_t offset, uint32_t bytes, void** region1,
                                 uint32_t* bytes1, void** region2, uint32_t* bytes2,
                                 uint32_t flags)
{
    if (flags & DSBLOCK_FROMWRITECURSOR) offset = 0;
    if (m_bLocked || offset > m_nBytes || bytes > m_nBytes - offset) return E_INVALIDARG;
    // Eight-bit samples are unsigned: their silence is the middle value.
    if (m_data.empty()) m_data.assign(m_nBytes, m_format.wBitsPerSample == 8 ? 0x80 : 0);
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
    // AL refuses a partial sample frame.
    const size_t whole = m_nBytes - m_nBytes % m_format.nBlockAlign;
    const bool filled = m_idle.Fill(m_voice, AlFormat(m_format), m_data.data(),
                                    static_cast<ALsizei>(whole),
                                    static_cast<ALsizei>(m_format.nSamplesPerSec));
    // AL holds its own copy now; keeping ours would double every effect for the whole run.
    if (filled) std::vector<uint8_t>().swap(m_data);
    return AlResult(filled);
}

HRESULT COpenAlSoundBuffer::Play(uint32_t, uint32_t, uint32_t flags)
{
    return AlResult(m_idle.Play(m_voice, (flags & DSBPLAY_LOOPING) != 0));
}

HRESULT COpenAlSoundBuffer::Stop()
{
    return AlResult(m_idle.Stop(m_voice));
}

HRESULT COpenAlSoundBuffer::SetCurrentPosition(uint32_t position)
{
    if (position > m_nBytes) return E_INVALIDARG;
    return AlResult(m_idle.Seek(m_voice, position));
}

HRESULT COpenAlSoundBuffer::GetCurrentPosition(uint32_t* playCursor, uint32_t* writeCursor)
{
    uint32_t position = 0;
    const bool accepted = m_idle.Position(m_voice, &position);
    if (playCursor != nullptr) *playCursor = position;
    if (writeCursor != nullptr) *writeCursor = position;
    return AlResult(accepted);
}

HRESULT COpenAlSoundBuffer::GetStatus(uint32_t* status)
{
    *status = m_idle.IsPlaying(m_voice) ? DSBSTATUS_PLAYING : 0;
    return DS_OK;
}

void COpenAlSoundBuffer::Release()
{
    delete this;
}
