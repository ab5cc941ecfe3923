#pragma once
// What the fake keyboard and joystick share: DirectInput's acquire rules, with flags a
// test sets to make the device refuse its cooperative level or vanish.
#include "platform/InputSystem.h"

template <class Interface>
class CFakeInputDevice : public Interface {
public:
    HRESULT SetCooperativeLevel(IWindow* window, uint32_t flags) override
    {
        cooperativeWindow = window;
        cooperativeFlags = flags;
        return cooperativeResult;
    }
    HRESULT Acquire() override
    {
        ++acquires;
        if (unplugged) return DIERR_INPUTLOST;
        if (released) return DIERR_DEVICENOTREG;
        const bool was = acquired;
        acquired = true;
        return was ? DI_NOEFFECT : DI_OK;
    }
    HRESULT Unacquire() override
    {
        const bool was = acquired;
        acquired = false;
        return was ? DI_OK : DI_NOEFFECT;
    }
    void Release() override
    {
        acquired = false;
        released = true;
    }

    bool acquired = false;
    bool released = false;
    bool unplugged = false;  // every call reports the device lost
    int acquires = 0;
    IWindow* cooperativeWindow = nullptr;
    uint32_t cooperativeFlags = 0;
    HRESULT cooperativeResult = DI_OK;

protected:
    // The answer to a read: DI_OK when the device may be read now.
    HRESULT ReadResult() const
    {
        if (unplugged) return DIERR_INPUTLOST;
        return acquired ? DI_OK : DIERR_NOTACQUIRED;
    }
};
