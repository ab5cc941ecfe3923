#include "platform/openal/OpenAlSoundSystem.h"

#include <fcntl.h>
#include <unistd.h>

#include <AL/al.h>
#include <AL/alc.h>
#include <AL/alext.h>

#include <cstdio>

#include "platform/posix/DebugOut.h"
#include "platform/openal/OpenAlSoundBuffer.h"

namespace {

// While alive, standard error goes nowhere. The audio libraries report a missing device
// with pages of their own lines; the game's promise is one line of its own.
class CMutedStderr {
public:
    CMutedStderr()
    {
        std::fflush(stderr);
        m_saved = dup(STDERR_FILENO);
        const int devNull = open("/dev/null", O_WRONLY | O_CLOEXEC);
        if (m_saved >= 0 && devNull >= 0) dup2(devNull, STDERR_FILENO);
        if (devNull >= 0) close(devNull);
    }
    ~CMutedStderr()
    {
        std::fflush(stderr);
        if (m_saved < 0) return;
        dup2(m_saved, STDERR_FILENO);
        close(m_saved);
    }
    CMutedStderr(const CMutedStderr&) = delete;
    CMutedStderr& operator=(const CMutedStderr&) = delete;

private:
    int m_saved;
};

}  // namespace

std::unique_ptr<COpenAlSoundSystem> COpenAlSoundSystem::Create(COpenAlIdleDevice::Delays delays)
{
    ALCdevice* device = nullptr;
    ALCcontext* context = nullptr;
    {
        const CMutedStderr muted;
        device = alcOpenDevice(nullptr);
        if (device != nullptr) context = COpenAlIdleDevice::CreateContext(device);
        if (context != nullptr && !alcMakeContextCurrent(context)) {
            alcDestroyContext(context);
            context = nullptr;
        }
        if (device != nullptr && context == nullptr) alcCloseDevice(device);
    }
    if (context == nullptr) {
        OutputDebugLine("sound: no audio device, the game runs silent\n");
        return nullptr;
    }
    return std::make_unique<COpenAlSoundSystem>(device, context, delays);
}

COpenAlSoundSystem::COpenAlSoundSystem(ALCdevice* device, ALCcontext* context,
                                       COpenAlIdleDevice::Delays delays)
    : m_pDevice(device), m_pIdle(std::make_unique<COpenAlIdleDevice>(device, context, delays))
{
}

COpenAlSoundSystem::~COpenAlSoundSystem()
{
    m_pIdle.reset();
    alcCloseDevice(m_pDevice);
}

HRESULT COpenAlSoundSystem::CreateSoundBuffer(const PCMWAVEFORMAT& format, uint32_t bytes,
                                              ISoundBuffer** buffer)
{
    *buffer = nullptr;
    if (bytes < DSBSIZE_MIN || bytes > DSBSIZE_MAX) return E_INVALIDARG;
    if (!IsPlayableFormat(format)) return DSERR_BADFORMAT;
    COpenAlSoundBuffer* const made = COpenAlSoundBuffer::Create(format, bytes, *m_pIdle);
    if (made == nullptr) return E_FAIL;
    *buffer = made;
    return DS_OK;
}

bool COpenAlSoundSystem::IsMixing() const
{
    return m_pIdle->IsMixing();
}

bool COpenAlSoundSystem::HasContext() const
{
    return m_pIdle->HasContext();
}
