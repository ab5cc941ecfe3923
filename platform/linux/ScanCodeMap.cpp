#include "platform/linux/ScanCodeMap.h"

#include "platform/DikCodes.h"

namespace {

constexpr uint32_t kLastMainBlockCode = 88;  // KEY_F12
constexpr uint32_t kXKeycodeOffset = 8;

// Codes 84 and 85 have no key on a PC keyboard that DirectInput numbered there.
constexpr bool IsMainBlock(uint32_t code)
{
    return code >= 1 && code <= kLastMainBlockCode && code != 84 && code != 85;
}

// Keys outside the main block, by Linux key code.
struct KeyPair {
    uint16_t linuxCode;
    uint8_t dik;
};

constexpr KeyPair kOtherKeys[] = {
    {89, DIK_ABNT_C1},      // KEY_RO
    {92, DIK_CONVERT},      // KEY_HENKAN
    {93, DIK_KANA},         // KEY_KATAKANAHIRAGANA
    {94, DIK_NOCONVERT},    // KEY_MUHENKAN
    {96, DIK_NUMPADENTER},
    {97, DIK_RCONTROL},
    {98, DIK_DIVIDE},
    {99, DIK_SYSRQ},
    {100, DIK_RMENU},
    {102, DIK_HOME},
    {103, DIK_UP},
    {104, DIK_PRIOR},
    {105, DIK_LEFT},
    {106, DIK_RIGHT},
    {107, DIK_END},
    {108, DIK_DOWN},
    {109, DIK_NEXT},
    {110, DIK_INSERT},
    {111, DIK_DELETE},
    {113, DIK_MUTE},
    {114, DIK_VOLUMEDOWN},
    {115, DIK_VOLUMEUP},
    {117, DIK_NUMPADEQUALS},
    {119, DIK_PAUSE},
    {121, DIK_NUMPADCOMMA},
    {124, DIK_YEN},
    {125, DIK_LWIN},
    {126, DIK_RWIN},
    {127, DIK_APPS},
    {183, DIK_F13},
    {184, DIK_F14},
    {185, DIK_F15},
    {210, DIK_SYSRQ},       // KEY_PRINT, what some keyboards send for Print Screen
};

}  // namespace

uint8_t DikFromLinuxKeyCode(uint32_t code)
{
    if (IsMainBlock(code)) return static_cast<uint8_t>(code);
    for (const KeyPair& key : kOtherKeys) {
        if (key.linuxCode == code) return key.dik;
    }
    return 0;
}

uint8_t DikFromXKeycode(uint32_t keycode)
{
    if (keycode < kXKeycodeOffset) return 0;
    return DikFromLinuxKeyCode(keycode - kXKeycodeOffset);
}

void DikStateFromKeymap(const uint8_t keymap[32], uint8_t state[256])
{
    for (int dik = 0; dik < 256; ++dik) state[dik] = 0;
    for (uint32_t keycode = 0; keycode < 256; ++keycode) {
        if (!(keymap[keycode / 8] & (1u << (keycode % 8)))) continue;
        const uint8_t dik = DikFromXKeycode(keycode);
        if (dik != 0) state[dik] = 0x80;
    }
}
