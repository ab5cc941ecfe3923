#pragma once
// Which DirectInput key code a physical key has, from the codes Linux gives keys.
// Pure functions over a fixed table; 0 means "a key the game's state has no byte for".
#include <cstdint>

// code: a Linux input key code (KEY_ESC is 1). For the main block, codes 1 to 88 are the
// set-1 scan codes themselves; the navigation block, right Ctrl/Alt and the keypad's
// Enter and divide are the E0-prefixed codes, 0x80 up in DirectInput's numbering.
uint8_t DikFromLinuxKeyCode(uint32_t code);

// keycode: an X keycode under the evdev rules used by every Linux X server and by Qt's
// native scan codes there: the Linux key code plus 8.
uint8_t DikFromXKeycode(uint32_t keycode);

// keymap: the X server's 256-bit key map (bit k of byte k / 8 set: keycode k is down), as
// XQueryKeymap returns it. Writes the whole 256-byte DirectInput state: 0x80 for each key
// that is down, 0 for the rest.
void DikStateFromKeymap(const uint8_t keymap[32], uint8_t state[256]);
