#include "platform/openal/OpenAlSoundSystem.h"

#include <fcntl.h>
#include <unistd.h>

#include <AL/al.h>
#include <AL/alc.h>
#include <AL/alext.h>

#include <cstdio>

#include "platform/DebugOut.h"
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

// The game uses no effect sends; each of the mixer's voices would otherwise keep
// buffers for them, about 0.7 MB resident.
constexpr ALCint kContextAttributes[] = {ALC_MAX_AUXILIARY_SENDS, 0, 0};

}  // namespace

std::unique_ptr<COpenAlSoundSystem> COpenAlSoundSystem::Create()
{
    ALCdevice* device = nullptr;
    ALCcontext* context = nullptr;
    {
        const CMutedStderr muted;
        device = alcOpenDevice(nullptr);
        if (device != nullptr) context = alcCreateContext(device, kContextAttributes);
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
    return std::make_unique<COpenAlSoundSystem>(device, context);
}

COpenAlSoundSystem::COpenAlSoundSystem(ALCdevice* device, ALCcontext* context)
    : m_pDevice(device), m_pContext(context)
{
}

COpenAlSoundSystem::~COpenAlSoundSystem()
{
    alcMakeContextCurrent(nullptr);
    alcDestroyContext(m_pContext);
    alcCloseDevice(m_pDevice);
}

HRESULT COpenAlSoundSystem::CreateSoundBuffer(const PCMWAVEFORMAT& format, uint32_t bytes,
                                              ISoundBuffer** buffer)
{
    *buffer = nullptr;
    if (bytes < DSBSIZE_MIN || bytes > DSBSIZE_MAX) return E_INVALIDARG;
    if (!IsPlayableFormat(format)) return DSERR_BADFORMAT;
    COpenAlSoundBuffer* const made = COpenAlSoundBuffer::Create(format, bytes);
    if (made == nullptr) return E_FAIL;
    *buffer = made;
    return DS_OK;
}
