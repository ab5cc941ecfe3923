#include "input/Input.h"

uint32_t g_dwInput = 0;
uint8_t g_keyState[256] = {};

bool CInput::Init(IWindow* hWnd, const PlatformInstance*)
{
    m_hWnd = hWnd;
    return true;
}

void CInput::Acquire() {}
void CInput::PollKeyboard() {}
void CInput::PollJoystick() {}
void CInput::ReleaseDevices() {}
