#include "tests/fakes/RecordingSoundSystem.h"

#include <cassert>

#include "game/Globals.h"
#include "sound/Sound.h"

namespace {
constexpr int kGameEffects = 5;
}  // namespace

HRESULT CRecordingSoundSystem::CreateSoundBuffer(const PCMWAVEFORMAT& format, uint32_t bytes,
                                                 ISoundBuffer** buffer)
{
    *buffer = nullptr;
    if (Failed(createResult)) return createResult;
    const int id = static_cast<int>(buffers.size());
    buffers.push_back(std::make_unique<CRecordingSoundBuffer>(this, id, format, bytes));
    buffers.back()->lockResult = lockResult;
    *buffer = buffers.back().get();
    return DS_OK;
}

void CRecordingSoundSystem::Record(int buffer, const char* what)
{
    std::lock_guard<std::mutex> lock(m_lock);
    events.push_back({buffer, what});
}

int CRecordingSoundSystem::PlayCount(int buffer) const
{
    std::lock_guard<std::mutex> lock(m_lock);
    int plays = 0;
    for (const Event& event : events) plays += event.buffer == buffer && event.what == "play";
    return plays;
}

std::vector<std::string> CRecordingSoundSystem::EventsOf(int buffer) const
{
    std::lock_guard<std::mutex> lock(m_lock);
    std::vector<std::string> of;
    for (const Event& event : events) {
        if (event.buffer == buffer) of.push_back(event.what);
    }
    return of;
}

CSound* InstallRecordingSound(CRecordingSoundSystem& system)
{
    assert(system.buffers.empty() && "buffer k must be effect k");
    delete g_pSound;
    g_pSound = new CSound;
    g_pSound->Init(nullptr, &system);
    for (int index = 0; index < kGameEffects; ++index) {
        g_pSound->CreateBuffer(index, 4096, 22050, 16, 2, false);
    }
    return g_pSound;
}
