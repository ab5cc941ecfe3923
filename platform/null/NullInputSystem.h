#pragma once
// An input system with a keyboard on which no key is ever down and no joystick, for tests
// where the input devices only need to exist. The game never needs it: the desktop input
// system always stands, its keyboard falling back from the server's key map to key events.
#include <memory>
#include <vector>

#include "platform/InputSystem.h"

class CNullInputSystem final : public IInputSystem {
public:
    CNullInputSystem();
    ~CNullInputSystem() override;

    HRESULT CreateKeyboard(IKeyboardDevice** keyboard) override;
    HRESULT EnumJoysticks(LPDIENUMDEVICESCALLBACK, void*) override { return DI_OK; }
    HRESULT CreateJoystick(const DIDEVICEINSTANCE&, IJoystickDevice** joystick) override;
    void OnForegroundLost() override;

private:
    std::vector<std::unique_ptr<IKeyboardDevice>> m_keyboards;
};
