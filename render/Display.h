#pragma once
// Everything the game draws with: the back buffer and its depth buffer, the 3D device with
// its viewport and two lights, the title picture, text and presentation into the window.
//
// Call order (window thread): construction, Init once the window exists, then frames
// (the device's Clear2 and scene, overlays with BltBitmap and PrintText, Present), Resize
// between frames whenever the game area changes size, and ReleaseObjects when the window
// closes, before the display is deleted.
// Ownership: the display owns the back buffer, depth buffer, device (and with it the
// viewport, lights and materials) and every picture it loads; the window, its primary
// surface and the injected painter and loader belong to the caller.
#include <cstdint>
#include <memory>
#include <vector>

#include "platform/DisplayDevices.h"
#include "platform/HResult.h"
#include "platform/Rect.h"
#include "render/Math3D.h"

class CDepthBuffer;
class CSurface;
class IBitmapLoader;
class IDevice3D;
class ILight3D;
class IMaterial3D;
class IPrimarySurface;
class ITextPainter;
class IViewport3D;
class IWindow;

inline constexpr const char* kTitleBitmap = "data/title.bmp";

class CDisplay {
public:
    CDisplay();  // the software device, no text painter, no bitmap loader
    explicit CDisplay(DisplayDevices devices);
    virtual ~CDisplay();
    CDisplay(const CDisplay&) = delete;
    CDisplay& operator=(const CDisplay&) = delete;

    // False after showing "DirectDraw Init FAILED" or "You need at least High Color Mode"
    // (caption "ERROR") and destroying the window; everything made so far is released.
    // A missing title picture shows its own message and does not fail the display. The
    // back buffer has the window's pixel scale (SetScale).
    bool Init(IWindow* window);
    // The game area changed size (a window manager placed the frame): the back buffer, depth
    // buffer and viewport are made again for it; the device with its lights and materials
    // and the title picture stay. The caller sets the projection again, and keeps the
    // tick's view transform off the device meanwhile. False, nothing changed, for a size
    // out of range or before Init.
    bool Resize(int32_t width, int32_t height);  // back-buffer pixels, 1..16384 each
    // Releases what the display owns and nulls the pointers; a second call does nothing.
    void ReleaseObjects();
    bool InitDevice();
    HRESULT CreatePrimarySurface(IPrimarySurface** surface);
    HRESULT CreateBackBuffer(CSurface** surface, int32_t width, int32_t height);  // 1..16384
    HRESULT CreateZBuffer(CDepthBuffer** buffer, int32_t width, int32_t height);  // 1..16384
    // The desktop's depth; 0 without a surface.
    int32_t GetBitsPerPixel(IPrimarySurface* surface) const;

    // fov in radians; E_INVALIDARG, out untouched, when near ~ far or sin(fov/2) ~ 0.
    HRESULT BuildProjectionMatrix(Matrix4* out, float fov, float aspect, float nearZ, float farZ);
    HRESULT MakeMaterial(IMaterial3D** material);
    // An ambient-only material: lines drawn with it show exactly (r, g, b), each 0..1.
    HRESULT SetAmbientMaterial(IMaterial3D* material, float r, float g, float b);

    // White text, no background box; the HUD and the title ignore the result. (x, y) in
    // game-area units, like the picture's place below.
    HRESULT PrintText(CSurface* surface, int32_t x, int32_t y, const char* text);
    // A null source (the picture failed to load) draws nothing. The title picture is drawn
    // at the display's scale.
    void BltBitmap(CSurface* source, CSurface* dest, uint32_t flags, int32_t x, int32_t y);
    // Back-buffer pixels per game-area unit, 1..kMaxScale: 2 on a screen of twice the
    // desktop's resolution, 1.5 on a desktop scaled by 150 %, where the caller also makes
    // the back buffer that much larger (ScaledSize). Texts and the picture keep their
    // places and sizes in game-area units; the text is drawn at the screen's resolution,
    // the picture's pixels as whole blocks at a whole scale and blended at a fractional one.
    void SetScale(float scale);
    // Game-area units in back-buffer pixels, rounded.
    int32_t ToPixels(int32_t units) const;
    // Cuts both rectangles to the smaller size on each axis (they are changed), then copies
    // one to one into the window's primary surface; dest is in screen coordinates. Every
    // pixel copied is made opaque in the source first: whatever drew it, a compositing
    // window system shows it.
    HRESULT Present(CSurface* source, RECT* sourceRect, RECT* destRect);
    // A null surface counts as restored.
    bool RestoreSurface(CSurface* surface);
    bool RestoreSurfaces();
    // held is a member of this display; its old picture is freed first, even if the load
    // then fails and leaves it null. On failure shows "Couldn't open bitmap file".
    bool LoadBitmapSurface(CSurface*& held, const char* name);
    bool ReloadBitmapSurface(CSurface* surface, const char* name);

    static constexpr int32_t kMaxScale = 8;
    int32_t m_nWidth = 0;   // back-buffer pixels
    int32_t m_nHeight = 0;
    float m_fScale = 1.0f;  // back-buffer pixels per game-area unit, 1..kMaxScale
    IPrimarySurface* m_pddsPrimary = nullptr;
    CSurface* m_pddsBack = nullptr;
    CDepthBuffer* m_pddsZBuffer = nullptr;
    IDevice3D* m_pDevice = nullptr;
    IViewport3D* m_pViewport = nullptr;
    ILight3D* m_pLight1 = nullptr;  // warm
    ILight3D* m_pLight2 = nullptr;  // cool
    CSurface* m_pddsTitle = nullptr;
    IWindow* m_hWnd = nullptr;
    RECT m_rcSource;
    HRESULT m_hr = S_OK;
    ITextPainter* m_pTextPainter = nullptr;
    IBitmapLoader* m_pBitmapLoader = nullptr;

private:
    bool Fail(const char* message);
    bool SetViewport();
    void ReportSize() const;
    bool Record(HRESULT hr);
    bool AddLight(ILight3D** light, float r, float g, float b, const Vector3& direction);
    CSurface* Keep(std::unique_ptr<CSurface> surface);
    void Free(CSurface* surface);

    DisplayDevices m_devices;
    std::vector<std::unique_ptr<CSurface>> m_surfaces;
    std::unique_ptr<CDepthBuffer> m_zBuffer;
    std::unique_ptr<CSurface> m_titleScaled;  // m_pddsTitle at m_fScale, when above 1
    std::unique_ptr<IDevice3D> m_device;
};

// A length of units at scale pixels per unit, in whole pixels.
int32_t ScaledSize(int32_t units, float scale);
// Width and height of a surface; both 0 for a null one.
void GetSurfaceSize(const CSurface* surface, int32_t* width, int32_t* height);
