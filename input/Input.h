#pragma once
// Keyboard and joystick, read as immediate state once per tick and turned into the
// input bit word g_dwInput. The raw keyboard state stays in g_keyState for the title.
//
// Call order: Init once (window thread), Acquire on focus/activation (window thread),
// PollKeyboard then PollJoystick at the start of every tick (timer thread),
// ReleaseDevices before deletion (window thread).
#include <cstdint>

#include "platform/HResult.h"

class IWindow;
struct PlatformInstance;

inline constexpr uint32_t INPUT_LEFT = 0x00000001;
inline constexpr uint32_t INPUT_RIGHT = 0x00000010;
inline constexpr uint32_t INPUT_UP = 0x00000100;
inline constexpr uint32_t INPUT_DOWN = 0x00001000;
inline constexpr uint32_t INPUT_FIRE = 0x10000000;

// DirectInput key codes: the indices of g_keyState.
inline constexpr uint8_t DIK_LCONTROL = 0x1D;
inline constexpr uint8_t DIK_SPACE = 0x39;
inline constexpr uint8_t DIK_UP = 0xC8;
inline constexpr uint8_t DIK_LEFT = 0xCB;
inline constexpr uint8_t DIK_RIGHT = 0xCD;
inline constexpr uint8_t DIK_DOWN = 0xD0;

extern uint32_t g_dwInput;      // timer thread only
extern uint8_t g_keyState[256]; // bit 7 of byte k: key k is down; timer thread only

class CInput {
public:
    CInput() = default;
    virtual ~CInput() = default;

    bool Init(IWindow* hWnd, const PlatformInstance* hInstance);
    void Acquire();
    void PollKeyboard();
    void PollJoystick();
    void ReleaseDevices();

    IWindow* m_hWnd = nullptr;
    HRESULT m_hr = S_OK;
};
