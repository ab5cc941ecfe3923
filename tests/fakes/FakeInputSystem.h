#pragma once
// An input system over a test-controlled keyboard and any number of fake joysticks.
// Joysticks are enumerated in the order they were plugged in; the system owns them all.
#include <memory>
#include <vector>

#include "platform/InputSystem.h"
#include "tests/fakes/FakeJoystick.h"
#include "tests/fakes/FakeKeyboard.h"

class CFakeInputSystem final : public IInputSystem {
public:
    HRESULT CreateKeyboard(IKeyboardDevice** keyboard) override;
    HRESULT EnumJoysticks(LPDIENUMDEVICESCALLBACK callback, void* ref) override;
    HRESULT CreateJoystick(const DIDEVICEINSTANCE& instance, IJoystickDevice** joystick) override;
    void OnForegroundLost() override;

    // A new joystick, attached from now on.
    CFakeJoystick& PlugIn();
    // The number of joysticks CreateJoystick has handed out.
    int JoysticksCreated() const { return m_created; }

    CFakeKeyboard keyboard;
    HRESULT createKeyboardResult = DI_OK;
    std::vector<std::unique_ptr<CFakeJoystick>> joysticks;
    int enumerations = 0;

private:
    int m_created = 0;
};
