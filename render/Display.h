#pragma once
// Everything the game draws with: the back buffer and its depth buffer, the 3D device with
// its viewport and two lights, the title picture, text and presentation into the window.
#include <cstdint>

#include "platform/HResult.h"
#include "platform/Rect.h"
#include "render/Math3D.h"

class CSurface;
class IDevice3D;
class IViewport3D;
class ILight3D;
class IMaterial3D;
class IPrimarySurface;
class ITextPainter;
class IWindow;

class CDisplay {
public:
    CDisplay() = default;
    virtual ~CDisplay() = default;

    HRESULT BuildProjectionMatrix(Matrix4* out, float fov, float aspect, float nearZ, float farZ);
    // White text, no background box; the HUD and the title ignore the result.
    HRESULT PrintText(CSurface* surface, int32_t x, int32_t y, const char* text);
    // A null source (the picture failed to load) draws nothing.
    void BltBitmap(CSurface* source, CSurface* dest, uint32_t flags, int32_t x, int32_t y);

    int32_t m_nWidth = 0;
    int32_t m_nHeight = 0;
    IPrimarySurface* m_pddsPrimary = nullptr;
    CSurface* m_pddsBack = nullptr;
    IDevice3D* m_pDevice = nullptr;
    IViewport3D* m_pViewport = nullptr;
    CSurface* m_pddsTitle = nullptr;
    IWindow* m_hWnd = nullptr;
    ITextPainter* m_pTextPainter = nullptr;
    RECT m_rcSource;
    HRESULT m_hr = S_OK;
};
