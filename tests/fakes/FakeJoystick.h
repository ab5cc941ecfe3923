#pragma once
// A joystick whose state a test sets directly, in the units the game asked for; it records
// the properties it was given and can refuse them or be unplugged (enumeration then skips
// it and every read reports it lost).
#include <cstring>
#include <vector>

#include "tests/fakes/FakeInputDevice.h"

class CFakeJoystick final : public CFakeInputDevice<IJoystickDevice> {
public:
    struct Range {
        uint32_t axis;
        int32_t min, max;
    };
    struct DeadZone {
        uint32_t axis;
        uint32_t value;
    };

    HRESULT SetRange(uint32_t axis, int32_t min, int32_t max) override
    {
        ranges.push_back({axis, min, max});
        return propertyResult;
    }
    HRESULT SetDeadZone(uint32_t axis, uint32_t value) override
    {
        deadZones.push_back({axis, value});
        return propertyResult;
    }
    HRESULT Poll() override
    {
        ++polls;
        return Failed(ReadResult()) ? ReadResult() : DI_NOEFFECT;
    }
    HRESULT GetDeviceState(uint32_t size, void* data) override
    {
        if (size != sizeof(DIJOYSTATE)) return E_INVALIDARG;
        if (Failed(ReadResult())) return ReadResult();
        std::memcpy(data, &state, sizeof state);
        return DI_OK;
    }

    void SetAxes(int32_t x, int32_t y)
    {
        state.lX = x;
        state.lY = y;
    }
    void SetButton(int button, bool down) { state.rgbButtons[button] = down ? 0x80 : 0x00; }

    DIDEVICEINSTANCE instance;
    DIJOYSTATE state;
    std::vector<Range> ranges;
    std::vector<DeadZone> deadZones;
    HRESULT propertyResult = DI_OK;
    HRESULT createResult = DI_OK;  // what the system's CreateJoystick answers for it
    int polls = 0;
};
