#pragma once
// The fixed-function 3D device the game draws through: transforms, lights, materials,
// indexed triangle and line lists into a z-buffered render target.
//
// Ownership: the device owns every viewport, light and material it creates; they live
// until the device is destroyed. Callers hold plain pointers and never delete them.
// Threads: the device has no lock. The game serialises the calls that can race (the view
// transform set by the tick against the paint's draws) with its object-table lock.
#include <cstdint>

#include "platform/HResult.h"
#include "render/Math3D.h"

// 32 bytes: position, normal, one pair of texture coordinates.
struct D3DVERTEX {
    float x = 0, y = 0, z = 0;
    float nx = 0, ny = 0, nz = 0;
    float tu = 0, tv = 0;
};
static_assert(sizeof(D3DVERTEX) == 32);

struct D3DCOLORVALUE {
    float r = 0, g = 0, b = 0, a = 0;
};

struct D3DMATERIAL {
    D3DCOLORVALUE dcvDiffuse;
    D3DCOLORVALUE dcvAmbient;
    D3DCOLORVALUE dcvSpecular;
    D3DCOLORVALUE dcvEmissive;
    float dvPower = 0;
    uint32_t hTexture = 0;
    uint32_t dwRampSize = 0;
};

enum D3DLIGHTTYPE : uint32_t { D3DLIGHT_DIRECTIONAL = 3 };
inline constexpr uint32_t D3DLIGHT_ACTIVE = 0x1;

struct D3DLIGHT2 {
    D3DLIGHTTYPE dltType = D3DLIGHT_DIRECTIONAL;
    D3DCOLORVALUE dcvColor;
    Vector3 dvPosition;
    Vector3 dvDirection;  // the way the light travels
    float dvRange = 0, dvFalloff = 0;
    float dvAttenuation0 = 0, dvAttenuation1 = 0, dvAttenuation2 = 0;
    float dvTheta = 0, dvPhi = 0;
    uint32_t dwFlags = 0;
};

// Clip-space window mapped onto the render target; y of dvClipY is the top edge.
struct D3DVIEWPORT2 {
    uint32_t dwX = 0, dwY = 0, dwWidth = 0, dwHeight = 0;
    float dvClipX = 0, dvClipY = 0, dvClipWidth = 0, dvClipHeight = 0;
    float dvMinZ = 0, dvMaxZ = 1;
};

struct D3DRECT {
    int32_t x1 = 0, y1 = 0, x2 = 0, y2 = 0;
};

enum D3DPRIMITIVETYPE : uint32_t { D3DPT_LINELIST = 2, D3DPT_TRIANGLELIST = 4 };
enum D3DTRANSFORMSTATETYPE : uint32_t {
    D3DTRANSFORMSTATE_WORLD = 1,
    D3DTRANSFORMSTATE_VIEW = 2,
    D3DTRANSFORMSTATE_PROJECTION = 3,
};
enum D3DLIGHTSTATETYPE : uint32_t { D3DLIGHTSTATE_MATERIAL = 1, D3DLIGHTSTATE_AMBIENT = 2 };
enum D3DRENDERSTATETYPE : uint32_t {
    D3DRENDERSTATE_ZENABLE = 7,
    D3DRENDERSTATE_DITHERENABLE = 26,
    D3DRENDERSTATE_SPECULARENABLE = 29,
};

inline constexpr uint32_t D3DCLEAR_TARGET = 0x1;
inline constexpr uint32_t D3DCLEAR_ZBUFFER = 0x2;
inline constexpr uint32_t D3DFVF_VERTEX = 0x112;

using D3DMATERIALHANDLE = uint32_t;  // 0 is never a valid handle

class IDevice3D;
class CSurface;
class CDepthBuffer;

class IMaterial3D {
public:
    virtual ~IMaterial3D() = default;
    virtual HRESULT SetMaterial(const D3DMATERIAL& material) = 0;
    virtual HRESULT GetHandle(IDevice3D* device, D3DMATERIALHANDLE* handle) = 0;
};

class ILight3D {
public:
    virtual ~ILight3D() = default;
    virtual HRESULT SetLight(const D3DLIGHT2& light) = 0;
};

class IViewport3D {
public:
    virtual ~IViewport3D() = default;
    virtual HRESULT SetViewport2(const D3DVIEWPORT2& viewport) = 0;
    virtual HRESULT GetViewport2(D3DVIEWPORT2* viewport) = 0;
    virtual HRESULT AddLight(ILight3D* light) = 0;
    // Clears the given rectangles of the render target and/or depth buffer.
    virtual HRESULT Clear2(uint32_t count, const D3DRECT* rects, uint32_t flags, uint32_t color,
                           float z, uint32_t stencil) = 0;
};

class IDevice3D {
public:
    virtual ~IDevice3D() = default;

    virtual HRESULT CreateViewport(IViewport3D** viewport) = 0;
    virtual HRESULT AddViewport(IViewport3D* viewport) = 0;
    virtual HRESULT SetCurrentViewport(IViewport3D* viewport) = 0;
    virtual HRESULT CreateLight(ILight3D** light) = 0;
    virtual HRESULT CreateMaterial(IMaterial3D** material) = 0;
    // Outside a scene: draw into these from now on; both have the same size and outlive
    // their use. Viewports keep their numbers: the caller sets them for the new size.
    virtual HRESULT SetRenderTarget(CSurface& target, CDepthBuffer& depth) = 0;

    virtual HRESULT SetRenderState(D3DRENDERSTATETYPE state, uint32_t value) = 0;
    // AMBIENT takes an 0xAARRGGBB colour, MATERIAL a handle from IMaterial3D::GetHandle.
    virtual HRESULT SetLightState(D3DLIGHTSTATETYPE state, uint32_t value) = 0;
    virtual HRESULT SetTransform(D3DTRANSFORMSTATETYPE state, const Matrix4& matrix) = 0;

    virtual HRESULT BeginScene() = 0;
    virtual HRESULT EndScene() = 0;
    // Transforms, lights and rasterises; indices must be < vertexCount.
    virtual HRESULT DrawIndexedPrimitive(D3DPRIMITIVETYPE type, uint32_t fvf,
                                         const D3DVERTEX* vertices, uint32_t vertexCount,
                                         const uint16_t* indices, uint32_t indexCount,
                                         uint32_t flags) = 0;
};
