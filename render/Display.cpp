#include "render/Display.h"

#include <algorithm>
#include <cmath>
#include <cassert>
#include <cfloat>
#include <cmath>
#include <cstdio>

#include "platform/BitmapLoader.h"
#include "platform/posix/DebugOut.h"
#include "platform/DepthBuffer.h"
#include "platform/Device3D.h"
#include "platform/PrimarySurface.h"
#include "platform/soft3d/SoftDevice3D.h"
#include "platform/Surface.h"
#include "platform/TextPainter.h"
#include "platform/Window.h"
#include "render/BitmapSurface.h"

namespace {

constexpr int32_t kMinBitsPerPixel = 16;
constexpr int32_t kMaxSide = 16384;

bool SaneSize(int32_t width, int32_t height)
{
    return width >= 1 && height >= 1 && width <= kMaxSide && height <= kMaxSide;
}

// The drawing code leaves the top byte 0, which an X server's 24-bit visual ignores but a
// compositing window system (Wayland) takes for alpha: the picture would be transparent.
// Only the top byte changes, which is no part of the picture and which no clear or blit
// reads, so nothing is marked written: the next clear still skips what nothing drew.
void MakeOpaque(CSurface& surface, const RECT& rect)
{
    const int32_t left = std::max(rect.left, 0), right = std::min(rect.right, surface.Width());
    const int32_t top = std::max(rect.top, 0), bottom = std::min(rect.bottom, surface.Height());
    uint32_t* const pixels = surface.PixelsCallerMarks();
    for (int32_t y = top; y < bottom; ++y) {
        uint32_t* const row = pixels + size_t(y) * surface.Width();
        for (int32_t x = left; x < right; ++x) row[x] |= 0xFF000000u;
    }
}

}  // namespace

CDisplay::CDisplay() = default;

CDisplay::CDisplay(DisplayDevices devices)
    : m_pTextPainter(devices.pTextPainter), m_pBitmapLoader(devices.pBitmapLoader),
      m_devices(std::move(devices))
{
}

// The owner calls ReleaseObjects first; what is still held here is only memory.
CDisplay::~CDisplay() = default;

bool CDisplay::Init(IWindow* window)
{
    assert(window != nullptr);
    m_hWnd = window;
    const RECT client = window->GetClientRectOnScreen();
    const float scale = std::clamp(window->GetPixelScale(), 1.0f, float(kMaxScale));
    m_nWidth = ScaledSize(client.right - client.left, scale);
    m_nHeight = ScaledSize(client.bottom - client.top, scale);
    if (!Record(CreatePrimarySurface(&m_pddsPrimary))) return Fail("DirectDraw Init FAILED");
    if (GetBitsPerPixel(m_pddsPrimary) < kMinBitsPerPixel) return Fail("You need at least High Color Mode");
    if (!Record(CreateBackBuffer(&m_pddsBack, m_nWidth, m_nHeight))) return Fail("DirectDraw Init FAILED");
    if (!Record(CreateZBuffer(&m_pddsZBuffer, m_nWidth, m_nHeight))) return Fail("DirectDraw Init FAILED");
    if (!InitDevice()) return Fail("DirectDraw Init FAILED");
    ReportSize();
    LoadBitmapSurface(m_pddsTitle, kTitleBitmap);
    SetScale(scale);
    return true;
}

bool CDisplay::Fail(const char* message)
{
    ReleaseObjects();
    m_hWnd->MessageBox(message, "ERROR");
    m_hWnd->DestroyWindow();
    return false;
}

bool CDisplay::Record(HRESULT hr)
{
    m_hr = hr;
    return Succeeded(hr);
}

void CDisplay::ReleaseObjects()
{
    m_titleScaled.reset();
    Free(m_pddsTitle);
    m_pddsTitle = nullptr;
    m_pLight1 = nullptr;
    m_pLight2 = nullptr;
    m_pViewport = nullptr;
    m_device.reset();  // takes its viewport, lights and materials with it
    m_pDevice = nullptr;
    m_zBuffer.reset();
    m_pddsZBuffer = nullptr;
    Free(m_pddsBack);
    m_pddsBack = nullptr;
    m_pddsPrimary = nullptr;
    m_surfaces.clear();
}

HRESULT CDisplay::CreatePrimarySurface(IPrimarySurface** surface)
{
    *surface = m_hWnd != nullptr ? m_hWnd->GetPrimarySurface() : nullptr;
    return *surface != nullptr ? DD_OK : E_FAIL;
}

HRESULT CDisplay::CreateBackBuffer(CSurface** surface, int32_t width, int32_t height)
{
    if (!SaneSize(width, height)) return E_INVALIDARG;
    // Drawn where the window can show it from, when it offers such memory.
    std::shared_ptr<uint32_t> shown = m_pddsPrimary != nullptr ? m_pddsPrimary->AllocatePixels(width, height) : nullptr;
    *surface = Keep(shown ? std::make_unique<CSurface>(width, height, std::move(shown))
                          : std::make_unique<CSurface>(width, height));
    return DD_OK;
}

HRESULT CDisplay::CreateZBuffer(CDepthBuffer** buffer, int32_t width, int32_t height)
{
    if (!SaneSize(width, height)) return E_INVALIDARG;
    m_zBuffer = std::make_unique<CDepthBuffer>(width, height);
    *buffer = m_zBuffer.get();
    return DD_OK;
}

int32_t CDisplay::GetBitsPerPixel(IPrimarySurface* surface) const
{
    return surface != nullptr && m_hWnd != nullptr ? m_hWnd->GetScreenBitsPerPixel() : 0;
}

bool CDisplay::InitDevice()
{
    m_device = m_devices.makeDevice ? m_devices.makeDevice(*m_pddsBack, *m_pddsZBuffer)
                                    : std::make_unique<CSoftDevice3D>(*m_pddsBack, *m_pddsZBuffer);
    m_pDevice = m_device.get();
    if (!Record(m_pDevice != nullptr ? S_OK : E_FAIL)) return false;
    if (!Record(m_pDevice->CreateViewport(&m_pViewport))) return false;
    if (!Record(m_pDevice->AddViewport(m_pViewport))) return false;
    if (!SetViewport()) return false;
    if (!Record(m_pDevice->SetCurrentViewport(m_pViewport))) return false;
    m_hr = m_pDevice->SetLightState(D3DLIGHTSTATE_AMBIENT, 0xFFFFFFFFu);
    const float s = float(1.0 / std::sqrt(2.0));
    if (!AddLight(&m_pLight1, 0.9f, 0.8f, 0.4f, {0.0f, s, s})) return false;
    if (!AddLight(&m_pLight2, 0.4f, 0.5f, 0.7f, {s, -s, 0.0f})) return false;
    if (!Record(m_pDevice->SetRenderState(D3DRENDERSTATE_DITHERENABLE, 1))) return false;
    if (!Record(m_pDevice->SetRenderState(D3DRENDERSTATE_SPECULARENABLE, 0))) return false;
    return Record(m_pDevice->SetRenderState(D3DRENDERSTATE_ZENABLE, 1));
}

bool CDisplay::SetViewport()
{
    const float a = float(m_nHeight) / float(m_nWidth);
    D3DVIEWPORT2 viewport;
    viewport.dwWidth = uint32_t(m_nWidth);
    viewport.dwHeight = uint32_t(m_nHeight);
    viewport.dvClipX = -1.0f;
    viewport.dvClipY = a;
    viewport.dvClipWidth = 2.0f;
    viewport.dvClipHeight = 2.0f * a;
    viewport.dvMinZ = 0.0f;
    viewport.dvMaxZ = 1.0f;
    return Record(m_pViewport->SetViewport2(viewport));
}

bool CDisplay::Resize(int32_t width, int32_t height)
{
    if (m_pDevice == nullptr || !SaneSize(width, height)) return false;
    if (width == m_nWidth && height == m_nHeight) return true;
    CSurface* const old = m_pddsBack;
    m_nWidth = width;
    m_nHeight = height;
    Record(CreateBackBuffer(&m_pddsBack, width, height));
    Record(CreateZBuffer(&m_pddsZBuffer, width, height));
    m_pDevice->SetRenderTarget(*m_pddsBack, *m_pddsZBuffer);
    Free(old);
    ReportSize();
    return SetViewport();
}

void CDisplay::ReportSize() const
{
    char line[64];
    std::snprintf(line, sizeof line, "display: %d x %d\n", m_nWidth, m_nHeight);
    OutputDebugLine(line);
}

bool CDisplay::AddLight(ILight3D** light, float r, float g, float b, const Vector3& direction)
{
    D3DLIGHT2 desc;
    desc.dltType = D3DLIGHT_DIRECTIONAL;
    desc.dcvColor = {r, g, b, 0.0f};
    desc.dvDirection = direction;
    desc.dvRange = std::sqrt(FLT_MAX);
    desc.dvAttenuation0 = 1.0f;
    desc.dwFlags = D3DLIGHT_ACTIVE;
    if (!Record(m_pDevice->CreateLight(light))) return false;
    if (!Record((*light)->SetLight(desc))) return false;
    return Record(m_pViewport->AddLight(*light));
}

HRESULT CDisplay::BuildProjectionMatrix(Matrix4* out, float fov, float aspect, float nearZ,
                                        float farZ)
{
    if (std::fabs(double(farZ) - double(nearZ)) < double(0.01f)) return E_INVALIDARG;
    const double s = std::sin(double(fov) / 2.0);
    if (std::fabs(s) < double(0.01f)) return E_INVALIDARG;
    const double k = std::cos(double(fov) / 2.0) / s;
    const double q = double(farZ) / (double(farZ) - double(nearZ));
    *out = MatZero();
    out->m[0][0] = static_cast<float>(aspect * k);
    out->m[1][1] = static_cast<float>(k);
    out->m[2][2] = static_cast<float>(q);
    out->m[2][3] = 1.0f;
    out->m[3][2] = static_cast<float>(-q * nearZ);
    return S_OK;
}

HRESULT CDisplay::MakeMaterial(IMaterial3D** material)
{
    *material = nullptr;
    if (m_pDevice == nullptr) return m_hr = E_FAIL;
    return m_hr = m_pDevice->CreateMaterial(material);
}

HRESULT CDisplay::SetAmbientMaterial(IMaterial3D* material, float r, float g, float b)
{
    if (material == nullptr) return E_FAIL;
    D3DMATERIAL desc;
    desc.dcvAmbient = {r, g, b, 0.0f};
    return material->SetMaterial(desc);
}

HRESULT CDisplay::PrintText(CSurface* surface, int32_t x, int32_t y, const char* text)
{
    if (surface == nullptr || text == nullptr || m_pTextPainter == nullptr) return E_FAIL;
    return m_pTextPainter->TextOut(*surface, ToPixels(x), ToPixels(y), text, 0xFFFFFFu);
}

void CDisplay::BltBitmap(CSurface* source, CSurface* dest, uint32_t flags, int32_t x, int32_t y)
{
    if (source == nullptr || dest == nullptr) return;
    if (source == m_pddsTitle && m_titleScaled) source = m_titleScaled.get();
    m_rcSource = {0, 0, source->Width(), source->Height()};
    do {
        m_hr = dest->BltFast(ToPixels(x), ToPixels(y), *source, m_rcSource, flags);
        if (m_hr == DD_OK) return;
        if (m_hr == DDERR_SURFACELOST && !RestoreSurfaces()) return;
    } while (m_hr == DDERR_WASSTILLDRAWING);
}

HRESULT CDisplay::Present(CSurface* source, RECT* s, RECT* d)
{
    if (s->Width() > d->Width()) s->right = s->left + d->Width();
    if (s->Height() > d->Height()) s->bottom = s->top + d->Height();
    if (s->Width() < d->Width()) d->right = d->left + s->Width();
    if (s->Height() < d->Height()) d->bottom = d->top + s->Height();
    if (source == nullptr || m_pddsPrimary == nullptr) return m_hr = E_FAIL;
    if (!m_pddsPrimary->IgnoresAlpha()) MakeOpaque(*source, *s);
    return m_hr = m_pddsPrimary->Blt(*d, *source, *s);
}

bool CDisplay::RestoreSurface(CSurface* surface)
{
    if (surface == nullptr) return true;
    m_hr = surface->Restore();
    return m_hr == DD_OK;
}

// The primary surface is the window's own and cannot be lost.
bool CDisplay::RestoreSurfaces()
{
    if (!RestoreSurface(m_pddsBack) || !RestoreSurface(m_pddsTitle)) return false;
    ReloadBitmapSurface(m_pddsTitle, kTitleBitmap);
    return true;
}

bool CDisplay::LoadBitmapSurface(CSurface*& held, const char* name)
{
    Free(held);
    held = nullptr;
    std::unique_ptr<CSurface> surface = CreateSurfaceFromBitmap(m_pBitmapLoader, name, 0, 0);
    if (!surface) {
        if (m_hWnd != nullptr) m_hWnd->MessageBox("Couldn't open bitmap file", "ERROR");
        return false;
    }
    surface->SetColorKey(0x000000u);
    held = Keep(std::move(surface));
    return true;
}

bool CDisplay::ReloadBitmapSurface(CSurface* surface, const char* name)
{
    m_hr = ReloadBitmap(m_pBitmapLoader, surface, name);
    if (m_hr == DD_OK) return true;
    if (m_hWnd != nullptr) m_hWnd->MessageBox("Couldn't open bitmap file", "ERROR");
    return false;
}

CSurface* CDisplay::Keep(std::unique_ptr<CSurface> surface)
{
    m_surfaces.push_back(std::move(surface));
    return m_surfaces.back().get();
}

void CDisplay::Free(CSurface* surface)
{
    std::erase_if(m_surfaces, [surface](const auto& owned) { return owned.get() == surface; });
}

void CDisplay::SetScale(float scale)
{
    m_fScale = std::clamp(scale, 1.0f, float(kMaxScale));
    if (m_pTextPainter != nullptr) m_pTextPainter->SetScale(m_fScale);
    m_titleScaled.reset();
    if (m_pddsTitle == nullptr || m_fScale == 1.0f) return;
    m_titleScaled = std::make_unique<CSurface>(ScaledSize(m_pddsTitle->Width(), m_fScale),
                                               ScaledSize(m_pddsTitle->Height(), m_fScale));
    if (m_pddsTitle->HasColorKey()) m_titleScaled->SetColorKey(m_pddsTitle->ColorKey());
    // At a whole scale each picture pixel becomes a whole block, as sharp as at 1x; at a
    // fractional one blocks would come out of two sizes, so the picture is blended.
    if (m_fScale == std::floor(m_fScale))
        m_titleScaled->StretchFrom(*m_pddsTitle, {0, 0, m_pddsTitle->Width(), m_pddsTitle->Height()});
    else
        m_titleScaled->BlendFrom(*m_pddsTitle);
}

int32_t CDisplay::ToPixels(int32_t units) const
{
    return int32_t(std::lround(float(units) * m_fScale));
}

int32_t ScaledSize(int32_t units, float scale)
{
    return int32_t(std::lround(float(units) * scale));
}

void GetSurfaceSize(const CSurface* surface, int32_t* width, int32_t* height)
{
    *width = surface != nullptr ? surface->Width() : 0;
    *height = surface != nullptr ? surface->Height() : 0;
}
