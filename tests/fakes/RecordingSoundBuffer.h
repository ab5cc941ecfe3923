#pragma once
// A sound buffer that keeps its bytes and records every call; "playing" lasts until the
// test calls Finish or the game calls Stop.
#include <string>
#include <vector>

#include "platform/SoundSystem.h"

class CRecordingSoundSystem;

class CRecordingSoundBuffer final : public ISoundBuffer {
public:
    CRecordingSoundBuffer(CRecordingSoundSystem* system, int id, const PCMWAVEFORMAT& format,
                          uint32_t bytes);

    HRESULT Lock(uint32_t offset, uint32_t bytes, void** region1, uint32_t* bytes1,
                 void** region2, uint32_t* bytes2, uint32_t flags) override;
    HRESULT Unlock(void* region1, uint32_t bytes1, void* region2, uint32_t bytes2) override;
    HRESULT Play(uint32_t reserved, uint32_t priority, uint32_t flags) override;
    HRESULT Stop() override;
    HRESULT SetCurrentPosition(uint32_t position) override;
    HRESULT GetCurrentPosition(uint32_t* playCursor, uint32_t* writeCursor) override;
    HRESULT GetStatus(uint32_t* status) override;
    void Release() override;

    // The sound ran to its end.
    void Finish() { playing = false; }

    const int id;  // creation order, from 0
    const PCMWAVEFORMAT format;
    std::vector<uint8_t> data;
    bool playing = false;
    bool locked = false;
    bool released = false;
    uint32_t position = 0;
    int plays = 0;
    HRESULT lockResult = DS_OK;

private:
    void Record(const char* event);

    CRecordingSoundSystem* const m_pSystem;
};
