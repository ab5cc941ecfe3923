#include "input/Input.h"

#include "platform/PlatformInstance.h"
#include "platform/Window.h"

uint32_t g_dwInput = 0;
uint8_t g_keyState[256] = {};

namespace {

constexpr uint32_t kCooperativeLevel = DISCL_NONEXCLUSIVE | DISCL_FOREGROUND;
constexpr uint8_t kKeyDown = 0x80;

struct KeyBit {
    uint8_t key;
    uint32_t bit;
};
// The order the bits are tested in; each is ORed in, so opposite keys can both be set.
constexpr KeyBit kKeyBits[] = {
    {DIK_RIGHT, INPUT_RIGHT}, {DIK_LEFT, INPUT_LEFT},     {DIK_UP, INPUT_UP},
    {DIK_DOWN, INPUT_DOWN},   {DIK_LCONTROL, INPUT_FIRE},
};
// The D-pad steers like the arrow keys; the south button fires through button 0 already.
constexpr KeyBit kGamepadBits[] = {
    {GAMEPAD_DPAD_RIGHT, INPUT_RIGHT}, {GAMEPAD_DPAD_LEFT, INPUT_LEFT},
    {GAMEPAD_DPAD_UP, INPUT_UP},       {GAMEPAD_DPAD_DOWN, INPUT_DOWN},
    {GAMEPAD_START, INPUT_START},
};

}  // namespace

bool CInput::Init(IWindow* hWnd, const PlatformInstance* hInstance)
{
    m_hWnd = hWnd;
    m_pDI = hInstance != nullptr ? hInstance->pInputSystem : nullptr;
    // No input system is not the platform failing: there is simply nothing to read, so the
    // game runs on without input rather than closing.
    if (m_pDI == nullptr) return false;
    m_hr = m_pDI->CreateKeyboard(&m_pKeyboard);
    if (Failed(m_hr)) {
        m_pKeyboard = nullptr;
        return Fail();
    }
    m_hr = m_pKeyboard->SetCooperativeLevel(m_hWnd, kCooperativeLevel);
    if (Failed(m_hr)) return Fail();
    FindJoystick();
    AcquireDevices();
    return true;
}

bool CInput::Fail()
{
    ReleaseDevices();
    if (m_hWnd != nullptr) {
        m_hWnd->MessageBox("DirectInput Init FAILED", "ERROR");
        m_hWnd->DestroyWindow();
    }
    return false;
}

int CInput::EnumJoystick(const DIDEVICEINSTANCE* instance, void* ref)
{
    CInput* const input = static_cast<CInput*>(ref);
    IJoystickDevice* joystick = nullptr;
    if (Failed(input->m_pDI->CreateJoystick(*instance, &joystick))) return DIENUM_CONTINUE;
    if (Failed(joystick->SetCooperativeLevel(input->m_hWnd, kCooperativeLevel))) {
        joystick->Release();
        return DIENUM_CONTINUE;
    }
    // A joystick that opened but refuses the properties ends the search: the game then
    // has no joystick, even if others are attached.
    if (input->SetUpJoystick(joystick)) {
        input->m_pJoystick = joystick;
    } else {
        joystick->Release();
    }
    return DIENUM_STOP;
}

bool CInput::SetUpJoystick(IJoystickDevice* joystick)
{
    return Succeeded(joystick->SetRange(DIJOFS_X, -JOYSTICK_RANGE, JOYSTICK_RANGE)) &&
           Succeeded(joystick->SetRange(DIJOFS_Y, -JOYSTICK_RANGE, JOYSTICK_RANGE)) &&
           Succeeded(joystick->SetDeadZone(DIJOFS_X, JOYSTICK_DEAD_ZONE)) &&
           Succeeded(joystick->SetDeadZone(DIJOFS_Y, JOYSTICK_DEAD_ZONE));
}

void CInput::FindJoystick()
{
    if (m_pDI != nullptr) m_pDI->EnumJoysticks(EnumJoystick, this);
}

void CInput::Acquire()
{
    RefreshJoystick();
    AcquireDevices();
}

void CInput::RefreshJoystick()
{
    std::lock_guard<std::mutex> lock(m_joystickLock);
    DropLostJoystick();
    if (m_pJoystick == nullptr) FindJoystick();
    IJoystickDevice* const joystick = m_pJoystick;
    if (joystick != nullptr) joystick->Acquire();
}

void CInput::DropLostJoystick()
{
    IJoystickDevice* const joystick = m_pJoystick;
    if (joystick == nullptr || joystick->Acquire() != DIERR_INPUTLOST) return;
    m_pJoystick = nullptr;
    joystick->Release();
}

void CInput::AcquireDevices()
{
    if (m_pKeyboard != nullptr) m_hr = m_pKeyboard->Acquire();
    IJoystickDevice* const joystick = m_pJoystick;
    if (joystick != nullptr) m_hr = joystick->Acquire();
}

void CInput::PollKeyboard()
{
    if (m_pKeyboard == nullptr) return;
    if (Failed(m_pKeyboard->GetDeviceState(sizeof g_keyState, g_keyState))) return;
    for (const KeyBit& key : kKeyBits) {
        if (g_keyState[key.key] & kKeyDown) g_dwInput |= key.bit;
    }
}

void CInput::PollJoystick()
{
    if (m_pDI != nullptr && m_pDI->DevicesChanged()) RefreshJoystick();
    IJoystickDevice* const joystick = m_pJoystick;
    if (joystick == nullptr) return;
    joystick->Poll();
    DIJOYSTATE state;
    if (Failed(joystick->GetDeviceState(sizeof state, &state))) return;
    if (state.lX < 0) g_dwInput |= INPUT_LEFT;
    if (state.lX > 0) g_dwInput |= INPUT_RIGHT;
    if (state.lY < 0) g_dwInput |= INPUT_UP;
    if (state.lY > 0) g_dwInput |= INPUT_DOWN;
    if (state.rgbButtons[0] & kKeyDown) g_dwInput |= INPUT_FIRE;
    if (joystick->IsGamepad()) ReadGamepadButtons(state);
}

void CInput::ReadGamepadButtons(const DIJOYSTATE& state)
{
    for (const KeyBit& button : kGamepadBits) {
        if (state.rgbButtons[button.key] & kKeyDown) g_dwInput |= button.bit;
    }
}

void CInput::ReleaseDevices()
{
    if (m_pKeyboard != nullptr) {
        m_hr = m_pKeyboard->Unacquire();
        m_pKeyboard->Release();
        m_pKeyboard = nullptr;
    }
    std::lock_guard<std::mutex> lock(m_joystickLock);
    IJoystickDevice* const joystick = m_pJoystick.exchange(nullptr);
    if (joystick != nullptr) {
        m_hr = joystick->Unacquire();
        joystick->Release();
    }
    // The application owns the system; letting go of it is all releasing means here.
    m_pDI = nullptr;
}
