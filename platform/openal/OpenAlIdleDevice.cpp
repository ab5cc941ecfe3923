#include "platform/openal/OpenAlIdleDevice.h"

#include <AL/alext.h>

#include <algorithm>
#include <chrono>

namespace {

// How often the watcher looks while the device mixes, and how long every source must have
// been silent before it pauses: longer than the device's own mix-ahead, so pausing never
// cuts off the tail of a sound that the mixer has finished but the speakers have not.
constexpr std::chrono::milliseconds kCheckPeriod{100};
constexpr std::chrono::milliseconds kQuietBeforePause{300};

}  // namespace

COpenAlIdleDevice::COpenAlIdleDevice(ALCdevice* device) : m_pDevice(device)
{
    if (!alcIsExtensionPresent(device, "ALC_SOFT_pause_device")) return;
    m_pPause = reinterpret_cast<PauseFunction>(alcGetProcAddress(device, "alcDevicePauseSOFT"));
    m_pResume =
        reinterpret_cast<PauseFunction>(alcGetProcAddress(device, "alcDeviceResumeSOFT"));
    if (m_pPause == nullptr || m_pResume == nullptr) return;
    m_watcher = std::thread(&COpenAlIdleDevice::Watch, this);
}

COpenAlIdleDevice::~COpenAlIdleDevice()
{
    {
        const std::lock_guard<std::mutex> lock(m_mutex);
        m_bQuit = true;
    }
    m_wake.notify_one();
    if (m_watcher.joinable()) m_watcher.join();
}

void COpenAlIdleDevice::AddSource(ALuint source)
{
    const std::lock_guard<std::mutex> lock(m_mutex);
    m_sources.push_back(source);
}

void COpenAlIdleDevice::RemoveSource(ALuint source)
{
    const std::lock_guard<std::mutex> lock(m_mutex);
    m_sources.erase(std::remove(m_sources.begin(), m_sources.end(), source), m_sources.end());
}

void COpenAlIdleDevice::Play(ALuint source)
{
    // Held through the play, so the watcher cannot pause between the wake and the start.
    const std::lock_guard<std::mutex> lock(m_mutex);
    if (m_bPaused) {
        m_pResume(m_pDevice);
        m_bPaused = false;
        m_wake.notify_one();
    }
    m_bPlayedSinceCheck = true;
    alSourcePlay(source);
}

bool COpenAlIdleDevice::IsMixing() const
{
    const std::lock_guard<std::mutex> lock(m_mutex);
    return !m_bPaused;
}

bool COpenAlIdleDevice::AnyPlaying() const
{
    return std::any_of(m_sources.begin(), m_sources.end(), [](ALuint source) {
        ALint state = AL_INITIAL;
        alGetSourcei(source, AL_SOURCE_STATE, &state);
        return state == AL_PLAYING;
    });
}

// Only Play makes a source play, and it holds the lock, so a check that finds every source
// silent stays true until the pause is done.
void COpenAlIdleDevice::Watch()
{
    std::unique_lock<std::mutex> lock(m_mutex);
    auto quietSince = std::chrono::steady_clock::now();
    while (!m_bQuit) {
        const auto now = std::chrono::steady_clock::now();
        if (m_bPaused) {
            m_wake.wait(lock);
            quietSince = std::chrono::steady_clock::now();
            continue;
        }
        if (m_bPlayedSinceCheck || AnyPlaying()) {
            quietSince = now;
            m_bPlayedSinceCheck = false;
        } else if (now - quietSince >= kQuietBeforePause) {
            m_pPause(m_pDevice);
            m_bPaused = true;
            continue;
        }
        m_wake.wait_for(lock, kCheckPeriod);
    }
}
