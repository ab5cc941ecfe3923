#include "tests/fakes/FakeInputSystem.h"

#include <cstdio>

HRESULT CFakeInputSystem::CreateKeyboard(IKeyboardDevice** out)
{
    if (Failed(createKeyboardResult)) {
        *out = nullptr;
        return createKeyboardResult;
    }
    keyboard.released = false;
    *out = &keyboard;
    return DI_OK;
}

HRESULT CFakeInputSystem::EnumJoysticks(LPDIENUMDEVICESCALLBACK callback, void* ref)
{
    ++enumerations;
    for (const auto& joystick : joysticks) {
        if (joystick->unplugged) continue;
        if (callback(&joystick->instance, ref) == DIENUM_STOP) break;
    }
    return DI_OK;
}

HRESULT CFakeInputSystem::CreateJoystick(const DIDEVICEINSTANCE& instance, IJoystickDevice** out)
{
    *out = nullptr;
    for (const auto& joystick : joysticks) {
        if (joystick->instance.guidInstance != instance.guidInstance) continue;
        if (Failed(joystick->createResult)) return joystick->createResult;
        joystick->released = false;
        ++m_created;
        *out = joystick.get();
        return DI_OK;
    }
    return DIERR_DEVICENOTREG;
}

void CFakeInputSystem::OnForegroundLost()
{
    keyboard.Unacquire();
    for (const auto& joystick : joysticks) joystick->Unacquire();
}

CFakeJoystick& CFakeInputSystem::PlugIn()
{
    joysticks.push_back(std::make_unique<CFakeJoystick>());
    CFakeJoystick& joystick = *joysticks.back();
    joystick.instance.guidInstance = static_cast<int32_t>(joysticks.size());
    std::snprintf(joystick.instance.tszProductName, sizeof joystick.instance.tszProductName,
                  "fake joystick %zu", joysticks.size());
    return joystick;
}
