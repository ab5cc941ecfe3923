#pragma once
// A joystick made in software by SDL's virtual joystick driver. It is enumerated and read
// like a plugged-in device, so tests can move its stick and press its buttons without
// hardware. A gamepad gets SDL's mapping for virtual pads: buttons in the gamepad layout,
// axes 0 and 1 the left stick; a plain joystick gets none. Same threads and lock as the
// rest of this layer.
#include <cstdint>

struct _SDL_Joystick;
struct SdlApi;

class CSdlVirtualJoystick {
public:
    enum class Kind { Joystick, Gamepad };
    CSdlVirtualJoystick(int axes, int buttons, Kind kind = Kind::Joystick);  // plugged in at once
    ~CSdlVirtualJoystick();                      // unplugged
    CSdlVirtualJoystick(const CSdlVirtualJoystick&) = delete;
    CSdlVirtualJoystick& operator=(const CSdlVirtualJoystick&) = delete;

    bool IsAttached() const { return m_pHandle != nullptr; }
    // Seen by readers after their next poll.
    void SetAxis(int axis, int16_t value);  // -32768..32767
    void SetButton(int button, bool down);
    void Unplug();

private:
    _SDL_Joystick* m_pHandle = nullptr;  // our own opening, to set its values through
    int32_t m_instanceId = -1;
    const SdlApi* m_pSdl = nullptr;  // set while SDL runs for this joystick
};
