#pragma once
// A keyboard whose keys a test sets. It keeps DirectInput's rule that an unacquired
// keyboard reads nothing.
#include <cstring>

#include "tests/fakes/FakeInputDevice.h"

class CFakeKeyboard final : public CFakeInputDevice<IKeyboardDevice> {
public:
    HRESULT GetDeviceState(uint32_t size, void* data) override
    {
        if (size != DI_KEYBOARD_STATE_SIZE) return E_INVALIDARG;
        if (Failed(ReadResult())) return ReadResult();
        std::memcpy(data, keys, sizeof keys);
        return DI_OK;
    }

    void SetKey(uint8_t dik, bool down) { keys[dik] = down ? 0x80 : 0x00; }

    uint8_t keys[DI_KEYBOARD_STATE_SIZE] = {};
};
