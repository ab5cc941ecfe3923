#include "platform/openal/OpenAlIdleDevice.h"

#include <malloc.h>

#include <AL/alext.h>

#include <algorithm>
#include <utility>

#include "platform/posix/DebugOut.h"

namespace {

// How often the watcher looks while the device mixes.
constexpr std::chrono::milliseconds kCheckPeriod{100};

// The game uses no effect sends; each of the mixer's voices would otherwise keep
// buffers for them, about 0.7 MB resident.
constexpr ALCint kContextAttributes[] = {ALC_MAX_AUXILIARY_SENDS, 0, 0};

}  // namespace

COpenAlIdleDevice::COpenAlIdleDevice(ALCdevice* device, ALCcontext* context, Delays delays)
    : m_pDevice(device), m_delays(delays), m_pContext(context)
{
    if (alcIsExtensionPresent(device, "ALC_SOFT_pause_device")) {
        m_pPause =
            reinterpret_cast<PauseFunction>(alcGetProcAddress(device, "alcDevicePauseSOFT"));
        m_pResume =
            reinterpret_cast<PauseFunction>(alcGetProcAddress(device, "alcDeviceResumeSOFT"));
        if (m_pPause == nullptr || m_pResume == nullptr) m_pPause = m_pResume = nullptr;
    }
    m_watcher = std::thread(&COpenAlIdleDevice::WatchForSilence, this);
}

COpenAlIdleDevice::~COpenAlIdleDevice()
{
    {
        const std::lock_guard<std::mutex> lock(m_mutex);
        m_bQuit = true;
    }
    m_wake.notify_one();
    m_watcher.join();
    // Without a context, closing the device frees the buffers still orphaned.
    if (m_pContext == nullptr) return;
    DeleteOrphanedBuffers();
    alcMakeContextCurrent(nullptr);
    alcDestroyContext(m_pContext);
}

ALCcontext* COpenAlIdleDevice::CreateContext(ALCdevice* device)
{
    return alcCreateContext(device, kContextAttributes);
}

bool COpenAlIdleDevice::Attach(COpenAlVoice& voice)
{
    Lock lock(m_mutex);
    if (!AwaitContext(lock) || !voice.MakeBuffer()) return false;
    voice.MakeSource();
    m_voices.push_back(&voice);
    return true;
}

void COpenAlIdleDevice::Detach(COpenAlVoice& voice)
{
    const std::lock_guard<std::mutex> lock(m_mutex);
    ForgetQueuedPlay(voice);
    m_voices.erase(std::remove(m_voices.begin(), m_voices.end(), &voice), m_voices.end());
    if (m_pContext == nullptr) {
        m_orphans.push_back(voice.Buffer());
        return;
    }
    voice.DropSource();
    voice.DeleteBuffer();
}

bool COpenAlIdleDevice::Fill(COpenAlVoice& voice, ALenum format, const void* data,
                             ALsizei bytes, ALsizei rate)
{
    Lock lock(m_mutex);
    if (!AwaitContext(lock)) return false;
    ForgetQueuedPlay(voice);
    alGetError();
    voice.Fill(format, data, bytes, rate);
    return alGetError() == AL_NO_ERROR;
}

bool COpenAlIdleDevice::Play(COpenAlVoice& voice, bool looping)
{
    return CallAl([&] {
        if (m_pContext != nullptr && !m_bPausing) {
            Start(voice, looping);
        } else if (!m_bBroken) {
            ForgetQueuedPlay(voice);
            m_queued.push_back({&voice, looping});
            m_wake.notify_one();
        }
    });
}

bool COpenAlIdleDevice::Stop(COpenAlVoice& voice)
{
    return CallAl([&] {
        ForgetQueuedPlay(voice);
        voice.Pause();
    });
}

bool COpenAlIdleDevice::Seek(COpenAlVoice& voice, uint32_t position)
{
    return CallAl([&] { voice.Seek(position); });
}

bool COpenAlIdleDevice::Position(const COpenAlVoice& voice, uint32_t* position) const
{
    return CallAl([&] { *position = voice.Position(); });
}

bool COpenAlIdleDevice::IsPlaying(const COpenAlVoice& voice) const
{
    const std::lock_guard<std::mutex> lock(m_mutex);
    const auto queued = [&](const QueuedPlay& play) { return play.voice == &voice; };
    return std::any_of(m_queued.begin(), m_queued.end(), queued) || voice.IsPlaying();
}

bool COpenAlIdleDevice::IsMixing() const
{
    const std::lock_guard<std::mutex> lock(m_mutex);
    return m_pContext != nullptr && !m_bPaused;
}

bool COpenAlIdleDevice::HasContext() const
{
    const std::lock_guard<std::mutex> lock(m_mutex);
    return m_pContext != nullptr;
}

// Runs act, which makes AL calls, with the lock held; true unless AL reported an error
// meanwhile. Without a context there is no AL call to fail.
template <typename Act>
bool COpenAlIdleDevice::CallAl(Act act) const
{
    const std::lock_guard<std::mutex> lock(m_mutex);
    if (m_pContext != nullptr) alGetError();
    act();
    return m_pContext == nullptr || alGetError() == AL_NO_ERROR;
}

// With the lock held: asks the watcher for a context and waits until it stands.
bool COpenAlIdleDevice::AwaitContext(Lock& lock)
{
    if (m_pContext == nullptr && !m_bBroken) {
        ++m_waiters;
        m_wake.notify_one();
        m_ready.wait(lock, [this] { return m_pContext != nullptr || m_bBroken; });
        --m_waiters;
    }
    m_bUsedSinceCheck = true;
    return m_pContext != nullptr;
}

void COpenAlIdleDevice::ForgetQueuedPlay(const COpenAlVoice& voice)
{
    const auto same = [&](const QueuedPlay& play) { return play.voice == &voice; };
    m_queued.erase(std::remove_if(m_queued.begin(), m_queued.end(), same), m_queued.end());
}

// Whether plays or waiters need the watcher to make a context or end a pause.
bool COpenAlIdleDevice::ContextWanted() const
{
    return !m_bBroken && (!m_queued.empty() || (m_waiters > 0 && m_pContext == nullptr));
}

bool COpenAlIdleDevice::AnyPlaying() const
{
    return std::any_of(m_voices.begin(), m_voices.end(),
                       [](const COpenAlVoice* voice) { return voice->IsPlaying(); });
}

// With the lock held and a context standing.
void COpenAlIdleDevice::Start(COpenAlVoice& voice, bool looping)
{
    if (m_bPaused) {
        // Unlike a pause, a resume takes microseconds: no need to leave it to the watcher.
        m_pResume(m_pDevice);
        m_bPaused = false;
        m_wake.notify_one();
    }
    m_bUsedSinceCheck = true;
    if (voice.HasSource()) voice.Start(looping);
}

// Nothing can start a sound behind the watcher's back: plays start under the lock, and
// while the watcher works unlocked they queue. So silence it sees holds until it acts.
void COpenAlIdleDevice::WatchForSilence()
{
    const auto check = std::min({kCheckPeriod, m_delays.pause, m_delays.drop});
    Lock lock(m_mutex);
    auto quietSince = std::chrono::steady_clock::now();
    while (!m_bQuit) {
        const auto now = std::chrono::steady_clock::now();
        if (ContextWanted()) {
            MakeReadyAndStartQueued(lock);
            quietSince = std::chrono::steady_clock::now();
        } else if (m_pContext == nullptr) {
            m_wake.wait(lock);
        } else if (m_bUsedSinceCheck || AnyPlaying()) {
            m_bUsedSinceCheck = false;
            quietSince = now;
            m_wake.wait_for(lock, check);
        } else if (m_pPause != nullptr && !m_bPaused && now - quietSince >= m_delays.pause) {
            PauseMixer(lock);
        } else if (now - quietSince >= m_delays.drop) {
            DropContext(lock);
        } else {
            m_wake.wait_until(lock, m_bPaused ? quietSince + m_delays.drop : now + check);
        }
    }
}

// Makes a context if none stands, wakes the device and starts what was queued.
void COpenAlIdleDevice::MakeReadyAndStartQueued(Lock& lock)
{
    if (m_pContext == nullptr && !MakeContext(lock)) {
        m_bBroken = true;
        m_queued.clear();
        OutputDebugLine("sound: the audio device failed, the game goes on silent\n");
    } else {
        for (const QueuedPlay& play : std::exchange(m_queued, {})) {
            Start(*play.voice, play.looping);
        }
    }
    m_ready.notify_all();
}

// Unlocked while the context is made, which takes milliseconds: plays meanwhile queue.
bool COpenAlIdleDevice::MakeContext(Lock& lock)
{
    lock.unlock();
    ALCcontext* const context = CreateContext(m_pDevice);
    lock.lock();
    if (context == nullptr) return false;
    if (!alcMakeContextCurrent(context)) {
        alcDestroyContext(context);
        return false;
    }
    m_pContext = context;
    DeleteOrphanedBuffers();
    for (COpenAlVoice* const voice : m_voices) voice->MakeSource();
    return true;
}

// Unlocked while the device pauses, which can take milliseconds: plays meanwhile queue.
void COpenAlIdleDevice::PauseMixer(Lock& lock)
{
    m_bPausing = true;
    lock.unlock();
    m_pPause(m_pDevice);
    lock.lock();
    m_bPausing = false;
    m_bPaused = true;
}

// The sources go with their context, each voice keeping what the next source needs.
void COpenAlIdleDevice::DropContext(Lock& lock)
{
    for (COpenAlVoice* const voice : m_voices) voice->DropSource();
    alcMakeContextCurrent(nullptr);
    ALCcontext* const context = std::exchange(m_pContext, nullptr);
    lock.unlock();
    alcDestroyContext(context);
    // After the first large block is freed, glibc serves blocks of that size from its heap
    // instead of mapping them, and keeps freed heap memory resident: without a trim the
    // next context's mixer voices would stay resident through every later silence.
    malloc_trim(0);
    lock.lock();
}

void COpenAlIdleDevice::DeleteOrphanedBuffers()
{
    alDeleteBuffers(static_cast<ALsizei>(m_orphans.size()), m_orphans.data());
    m_orphans.clear();
}
