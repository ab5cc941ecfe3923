#include "platform/qt/QtKeyboard.h"

#include <QGuiApplication>
#include <QKeyEvent>

#include "platform/DikCodes.h"
#include "platform/linux/ScanCodeMap.h"
#include "platform/Window.h"

namespace {

constexpr uint8_t kKeyDown = 0x80;

constexpr uint8_t kLetters[26] = {
    DIK_A, DIK_B, DIK_C, DIK_D, DIK_E, DIK_F, DIK_G, DIK_H, DIK_I, DIK_J, DIK_K, DIK_L, DIK_M,
    DIK_N, DIK_O, DIK_P, DIK_Q, DIK_R, DIK_S, DIK_T, DIK_U, DIK_V, DIK_W, DIK_X, DIK_Y, DIK_Z,
};
constexpr uint8_t kKeypadDigits[10] = {
    DIK_NUMPAD0, DIK_NUMPAD1, DIK_NUMPAD2, DIK_NUMPAD3, DIK_NUMPAD4,
    DIK_NUMPAD5, DIK_NUMPAD6, DIK_NUMPAD7, DIK_NUMPAD8, DIK_NUMPAD9,
};

struct QtKeyPair {
    int key;
    uint8_t dik;
};

constexpr QtKeyPair kNamedKeys[] = {
    {Qt::Key_Escape, DIK_ESCAPE},       {Qt::Key_Tab, DIK_TAB},
    {Qt::Key_Backspace, DIK_BACK},      {Qt::Key_Return, DIK_RETURN},
    {Qt::Key_Enter, DIK_NUMPADENTER},   {Qt::Key_Insert, DIK_INSERT},
    {Qt::Key_Delete, DIK_DELETE},       {Qt::Key_Pause, DIK_PAUSE},
    {Qt::Key_Print, DIK_SYSRQ},         {Qt::Key_Home, DIK_HOME},
    {Qt::Key_End, DIK_END},             {Qt::Key_Left, DIK_LEFT},
    {Qt::Key_Up, DIK_UP},               {Qt::Key_Right, DIK_RIGHT},
    {Qt::Key_Down, DIK_DOWN},           {Qt::Key_PageUp, DIK_PRIOR},
    {Qt::Key_PageDown, DIK_NEXT},       {Qt::Key_Shift, DIK_LSHIFT},
    {Qt::Key_Control, DIK_LCONTROL},    {Qt::Key_Meta, DIK_LWIN},
    {Qt::Key_Alt, DIK_LMENU},           {Qt::Key_AltGr, DIK_RMENU},
    {Qt::Key_CapsLock, DIK_CAPITAL},    {Qt::Key_NumLock, DIK_NUMLOCK},
    {Qt::Key_ScrollLock, DIK_SCROLL},   {Qt::Key_Menu, DIK_APPS},
    {Qt::Key_F11, DIK_F11},             {Qt::Key_F12, DIK_F12},
    {Qt::Key_Space, DIK_SPACE},         {Qt::Key_Minus, DIK_MINUS},
    {Qt::Key_Equal, DIK_EQUALS},        {Qt::Key_BracketLeft, DIK_LBRACKET},
    {Qt::Key_BracketRight, DIK_RBRACKET}, {Qt::Key_Semicolon, DIK_SEMICOLON},
    {Qt::Key_Apostrophe, DIK_APOSTROPHE}, {Qt::Key_QuoteLeft, DIK_GRAVE},
    {Qt::Key_Backslash, DIK_BACKSLASH}, {Qt::Key_Comma, DIK_COMMA},
    {Qt::Key_Period, DIK_PERIOD},       {Qt::Key_Slash, DIK_SLASH},
    {Qt::Key_Asterisk, DIK_MULTIPLY},   {Qt::Key_Plus, DIK_ADD},
};

// Native scan codes are X keycodes on the X11 and Wayland platforms; elsewhere they are
// something else or 0.
bool ScanCodesAreXKeycodes()
{
    const QString platform = QGuiApplication::platformName();
    return platform == QLatin1String("xcb") || platform.startsWith(QLatin1String("wayland"));
}

}  // namespace

HRESULT CQtKeyboard::SetCooperativeLevel(IWindow* window, uint32_t)
{
    m_pWindow = window;
    return DI_OK;
}

HRESULT CQtKeyboard::Acquire()
{
    if (m_bReleased) return DIERR_DEVICENOTREG;
    if (m_pWindow != nullptr && !m_pWindow->IsForeground()) return DIERR_OTHERAPPHASPRIO;
    if (m_bAcquired.exchange(true)) return DI_NOEFFECT;
    ClearKeys();
    return DI_OK;
}

HRESULT CQtKeyboard::Unacquire()
{
    return m_bAcquired.exchange(false) ? DI_OK : DI_NOEFFECT;
}

void CQtKeyboard::Release()
{
    m_bReleased = true;
    m_bAcquired = false;
}

HRESULT CQtKeyboard::GetDeviceState(uint32_t size, void* data)
{
    if (size != DI_KEYBOARD_STATE_SIZE || data == nullptr) return E_INVALIDARG;
    if (!m_bAcquired) return DIERR_NOTACQUIRED;
    uint8_t* const state = static_cast<uint8_t*>(data);
    for (uint32_t key = 0; key < DI_KEYBOARD_STATE_SIZE; ++key) {
        state[key] = m_keys[key].load(std::memory_order_relaxed);
    }
    return DI_OK;
}

void CQtKeyboard::KeyEvent(const QKeyEvent& event)
{
    const bool press = event.type() == QEvent::KeyPress;
    if ((!press && event.type() != QEvent::KeyRelease) || event.isAutoRepeat()) return;
    const uint8_t dik = DikFromKeyEvent(event);
    if (dik != 0) m_keys[dik].store(press ? kKeyDown : 0, std::memory_order_relaxed);
}

void CQtKeyboard::ClearKeys()
{
    for (std::atomic<uint8_t>& key : m_keys) key.store(0, std::memory_order_relaxed);
}

uint8_t CQtKeyboard::DikFromKeyEvent(const QKeyEvent& event)
{
    return DikFromKeyEvent(event, ScanCodesAreXKeycodes());
}

uint8_t CQtKeyboard::DikFromKeyEvent(const QKeyEvent& event, bool scanCodesAreXKeycodes)
{
    // The scan code names the physical key, so a release matches its press even when a
    // modifier changed the key's meaning in between, and right Ctrl is not left Ctrl.
    if (event.nativeScanCode() != 0 && scanCodesAreXKeycodes) {
        const uint8_t dik = DikFromXKeycode(event.nativeScanCode());
        if (dik != 0) return dik;
    }
    return DikFromQtKey(event.key(), event.modifiers() & Qt::KeypadModifier);
}

uint8_t CQtKeyboard::DikFromQtKey(int key, bool keypad)
{
    if (key >= Qt::Key_0 && key <= Qt::Key_9) {
        if (keypad) return kKeypadDigits[key - Qt::Key_0];
        return key == Qt::Key_0 ? DIK_0 : static_cast<uint8_t>(DIK_1 + (key - Qt::Key_1));
    }
    if (key >= Qt::Key_A && key <= Qt::Key_Z) return kLetters[key - Qt::Key_A];
    if (key >= Qt::Key_F1 && key <= Qt::Key_F10) {
        return static_cast<uint8_t>(DIK_F1 + (key - Qt::Key_F1));
    }
    if (keypad && key == Qt::Key_Minus) return DIK_SUBTRACT;
    if (keypad && key == Qt::Key_Period) return DIK_DECIMAL;
    if (keypad && key == Qt::Key_Slash) return DIK_DIVIDE;
    for (const QtKeyPair& pair : kNamedKeys) {
        if (pair.key == key) return pair.dik;
    }
    return 0;
}
