#include "platform/null/NullInputSystem.h"

#include <atomic>
#include <cstring>

namespace {

class CNullKeyboard final : public IKeyboardDevice {
public:
    HRESULT SetCooperativeLevel(IWindow*, uint32_t) override { return DI_OK; }
    HRESULT Acquire() override
    {
        if (m_bReleased) return DIERR_DEVICENOTREG;
        return m_bAcquired.exchange(true) ? DI_NOEFFECT : DI_OK;
    }
    HRESULT Unacquire() override
    {
        return m_bAcquired.exchange(false) ? DI_OK : DI_NOEFFECT;
    }
    void Release() override
    {
        m_bReleased = true;
        m_bAcquired = false;
    }
    HRESULT GetDeviceState(uint32_t size, void* data) override
    {
        if (size != DI_KEYBOARD_STATE_SIZE || data == nullptr) return E_INVALIDARG;
        if (!m_bAcquired) return DIERR_NOTACQUIRED;
        std::memset(data, 0, size);
        return DI_OK;
    }

private:
    std::atomic<bool> m_bAcquired{false};
    std::atomic<bool> m_bReleased{false};
};

}  // namespace

CNullInputSystem::CNullInputSystem() = default;
CNullInputSystem::~CNullInputSystem() = default;

HRESULT CNullInputSystem::CreateKeyboard(IKeyboardDevice** keyboard)
{
    m_keyboards.push_back(std::make_unique<CNullKeyboard>());
    *keyboard = m_keyboards.back().get();
    return DI_OK;
}

HRESULT CNullInputSystem::CreateJoystick(const DIDEVICEINSTANCE&, IJoystickDevice** joystick)
{
    *joystick = nullptr;
    return DIERR_DEVICENOTREG;
}

void CNullInputSystem::OnForegroundLost()
{
    for (const auto& keyboard : m_keyboards) keyboard->Unacquire();
}
