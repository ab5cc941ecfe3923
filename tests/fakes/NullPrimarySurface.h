#pragma once
// A window's visible area that shows nothing: presenting into it succeeds and goes nowhere.
// For a fake window handed to CDisplay::Init, which needs a primary surface to start.
#include "platform/PrimarySurface.h"

class CNullPrimarySurface final : public IPrimarySurface {
public:
    HRESULT Blt(const RECT&, const CSurface&, const RECT&) override { return S_OK; }
};
