#pragma once
// Whether the machine has an input device that may be a joystick, kept up to date as
// devices are plugged in, without SDL: the joystick layer loads SDL only once this says
// yes. It errs towards yes (any readable device with joystick or gamepad buttons, or with
// absolute axes that no touchpad, tablet, touch screen or pointer claims), since a no
// would hide a real joystick, while a yes only costs SDL's memory.
//
// Watches the device folder with inotify, so asking again costs one read until something
// there changes; a new node is looked at again when its permissions change, as the
// device manager grants them after creating it. Not thread-safe: its owner serialises.
#include <string>

class CJoystickNodeWatch {
public:
    explicit CJoystickNodeWatch(std::string folder = "/dev/input");
    ~CJoystickNodeWatch();
    CJoystickNodeWatch(const CJoystickNodeWatch&) = delete;
    CJoystickNodeWatch& operator=(const CJoystickNodeWatch&) = delete;

    bool JoystickPresent();

    // Whether one device node, event* or js*, may be a joystick the game can read.
    static bool MayBeJoystick(const std::string& path);
    // The same judgement from an event device's key and absolute-axis bitmaps, as
    // EVIOCGBIT fills them: KEY_MAX / 8 + 1 and ABS_MAX / 8 + 1 bytes.
    static bool LooksLikeJoystick(const unsigned char* keys, const unsigned char* axes);

private:
    bool Changed();  // drains the watch
    bool Scan() const;

    std::string m_folder;
    int m_watch = -1;  // inotify descriptor; -1 when the folder cannot be watched
    bool m_bStale = true;
    bool m_bPresent = false;
};
