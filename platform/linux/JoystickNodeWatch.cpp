#include "platform/linux/JoystickNodeWatch.h"

#include <dirent.h>
#include <fcntl.h>
#include <linux/input.h>
#include <sys/inotify.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <cstring>
#include <memory>

namespace {

constexpr int kKeyBytes = KEY_MAX / 8 + 1;
constexpr int kAbsBytes = ABS_MAX / 8 + 1;

bool Has(const unsigned char* bits, int bit)
{
    return (bits[bit / 8] >> (bit % 8)) & 1;
}

bool AnyIn(const unsigned char* bits, int first, int end)
{
    for (int bit = first; bit < end; ++bit) {
        if (Has(bits, bit)) return true;
    }
    return false;
}

bool StartsWith(const char* name, const char* prefix)
{
    return std::strncmp(name, prefix, std::strlen(prefix)) == 0;
}

// Buttons only a joystick, a gamepad or a wheel has.
bool HasJoystickButtons(const unsigned char* keys)
{
    return AnyIn(keys, BTN_JOYSTICK, BTN_DIGI) || AnyIn(keys, BTN_TRIGGER_HAPPY, BTN_TRIGGER_HAPPY40 + 1);
}

// Absolute axes that nothing else owns: a touchpad, tablet, touch screen or absolute
// pointer (a virtual machine's mouse) each has one of these buttons beside its axes.
bool HasStickAxes(const unsigned char* keys, const unsigned char* axes)
{
    if (!AnyIn(axes, ABS_X, ABS_MISC)) return false;
    return !Has(keys, BTN_TOUCH) && !Has(keys, BTN_TOOL_FINGER) && !Has(keys, BTN_TOOL_PEN) &&
           !Has(keys, BTN_MOUSE);
}

}  // namespace

CJoystickNodeWatch::CJoystickNodeWatch(std::string folder) : m_folder(std::move(folder))
{
    m_watch = inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    if (m_watch < 0) return;
    if (inotify_add_watch(m_watch, m_folder.c_str(), IN_CREATE | IN_ATTRIB | IN_MOVED_TO) < 0) {
        close(m_watch);
        m_watch = -1;
    }
}

CJoystickNodeWatch::~CJoystickNodeWatch()
{
    if (m_watch >= 0) close(m_watch);
}

bool CJoystickNodeWatch::JoystickPresent()
{
    if (Changed()) m_bStale = true;
    if (m_bStale) {
        m_bPresent = Scan();
        m_bStale = false;
    }
    return m_bPresent;
}

bool CJoystickNodeWatch::Changed()
{
    if (m_watch < 0) return false;
    alignas(inotify_event) char events[4096];
    bool changed = false;
    while (read(m_watch, events, sizeof events) > 0) changed = true;
    return changed;
}

bool CJoystickNodeWatch::Scan() const
{
    const std::unique_ptr<DIR, int (*)(DIR*)> folder(opendir(m_folder.c_str()), closedir);
    if (!folder) return false;
    while (const dirent* const entry = readdir(folder.get())) {
        if (!StartsWith(entry->d_name, "event") && !StartsWith(entry->d_name, "js")) continue;
        if (MayBeJoystick(m_folder + "/" + entry->d_name)) return true;
    }
    return false;
}

bool CJoystickNodeWatch::MayBeJoystick(const std::string& path)
{
    const int device = open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (device < 0) return false;  // what the game cannot open, SDL cannot read either
    const char* const name = std::strrchr(path.c_str(), '/');
    if (StartsWith(name != nullptr ? name + 1 : path.c_str(), "js")) {
        close(device);
        return true;  // the old joystick interface has nothing else behind it
    }
    unsigned char keys[kKeyBytes] = {};
    unsigned char axes[kAbsBytes] = {};
    const bool described = ioctl(device, EVIOCGBIT(EV_KEY, sizeof keys), keys) >= 0 &&
                           ioctl(device, EVIOCGBIT(EV_ABS, sizeof axes), axes) >= 0;
    close(device);
    return described && LooksLikeJoystick(keys, axes);
}

bool CJoystickNodeWatch::LooksLikeJoystick(const unsigned char* keys, const unsigned char* axes)
{
    return HasJoystickButtons(keys) || HasStickAxes(keys, axes);
}
