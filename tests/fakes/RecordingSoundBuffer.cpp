#include "tests/fakes/RecordingSoundBuffer.h"

#include "tests/fakes/RecordingSoundSystem.h"

CRecordingSoundBuffer::CRecordingSoundBuffer(CRecordingSoundSystem* system, int bufferId,
                                             const PCMWAVEFORMAT& bufferFormat, uint32_t bytes)
    : id(bufferId), format(bufferFormat), data(bytes), m_pSystem(system)
{
}

HRESULT CRecordingSoundBuffer::Lock(uint32_t offset, uint32_t bytes, void** region1,
                                    uint32_t* bytes1, void** region2, uint32_t* bytes2,
                                    uint32_t flags)
{
    Record("lock");
    if (Failed(lockResult)) return lockResult;
    if (flags & DSBLOCK_FROMWRITECURSOR) offset = 0;
    if (locked || offset > data.size() || bytes > data.size() - offset) return E_INVALIDARG;
    locked = true;
    *region1 = data.data() + offset;
    *bytes1 = bytes;
    *region2 = nullptr;
    *bytes2 = 0;
    return DS_OK;
}

HRESULT CRecordingSoundBuffer::Unlock(void*, uint32_t, void*, uint32_t)
{
    Record("unlock");
    if (!locked) return DSERR_INVALIDCALL;
    locked = false;
    return DS_OK;
}

HRESULT CRecordingSoundBuffer::Play(uint32_t, uint32_t, uint32_t)
{
    Record("play");
    ++plays;
    playing = true;
    return DS_OK;
}

HRESULT CRecordingSoundBuffer::Stop()
{
    Record("stop");
    playing = false;
    return DS_OK;
}

HRESULT CRecordingSoundBuffer::SetCurrentPosition(uint32_t newPosition)
{
    Record("rewind");
    if (newPosition > data.size()) return E_INVALIDARG;
    position = newPosition;
    return DS_OK;
}

HRESULT CRecordingSoundBuffer::GetCurrentPosition(uint32_t* playCursor, uint32_t* writeCursor)
{
    if (playCursor != nullptr) *playCursor = position;
    if (writeCursor != nullptr) *writeCursor = position;
    return DS_OK;
}

HRESULT CRecordingSoundBuffer::GetStatus(uint32_t* status)
{
    *status = playing ? DSBSTATUS_PLAYING : 0;
    return DS_OK;
}

void CRecordingSoundBuffer::Release()
{
    Record("release");
    released = true;
    playing = false;
}

void CRecordingSoundBuffer::Record(const char* event)
{
    m_pSystem->Record(id, event);
}
