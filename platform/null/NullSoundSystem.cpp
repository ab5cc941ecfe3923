#include "platform/null/NullSoundSystem.h"

#include <vector>

namespace {

// Keeps the sample memory, so a fill writes into real memory as it would on a device.
class CNullSoundBuffer final : public ISoundBuffer {
public:
    explicit CNullSoundBuffer(uint32_t bytes) : m_data(bytes) {}

    HRESULT Lock(uint32_t offset, uint32_t bytes, void** region1, uint32_t* bytes1,
                 void** region2, uint32_t* bytes2, uint32_t flags) override
    {
        if (flags & DSBLOCK_FROMWRITECURSOR) offset = 0;
        if (offset > m_data.size() || bytes > m_data.size() - offset) return E_INVALIDARG;
        *region1 = m_data.data() + offset;
        *bytes1 = bytes;
        *region2 = nullptr;
        *bytes2 = 0;
        return DS_OK;
    }
    HRESULT Unlock(void*, uint32_t, void*, uint32_t) override { return DS_OK; }
    HRESULT Play(uint32_t, uint32_t, uint32_t) override { return DS_OK; }
    HRESULT Stop() override { return DS_OK; }
    HRESULT SetCurrentPosition(uint32_t position) override
    {
        return position <= m_data.size() ? DS_OK : E_INVALIDARG;
    }
    HRESULT GetCurrentPosition(uint32_t* playCursor, uint32_t* writeCursor) override
    {
        if (playCursor != nullptr) *playCursor = 0;
        if (writeCursor != nullptr) *writeCursor = 0;
        return DS_OK;
    }
    HRESULT GetStatus(uint32_t* status) override
    {
        *status = 0;
        return DS_OK;
    }
    void Release() override { delete this; }

private:
    std::vector<uint8_t> m_data;
};

}  // namespace

HRESULT CNullSoundSystem::CreateSoundBuffer(const PCMWAVEFORMAT& format, uint32_t bytes,
                                            ISoundBuffer** buffer)
{
    *buffer = nullptr;
    if (bytes < DSBSIZE_MIN || bytes > DSBSIZE_MAX) return E_INVALIDARG;
    if (!IsPlayableFormat(format)) return DSERR_BADFORMAT;
    *buffer = new CNullSoundBuffer(bytes);
    return DS_OK;
}
