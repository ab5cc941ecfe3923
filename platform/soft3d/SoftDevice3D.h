#pragma once
// The software fixed-function 3D device: what the game's IDevice3D calls draw with.
//
// Vertices go through p * World * View * Projection (row vectors) to clip space, are cut
// there against the near plane and a guard band (Clipper.h), divided, and mapped onto the
// current viewport. Lighting is per vertex in world space:
//   colour = emissive + ambient light * material ambient
//            + sum over active lights of light colour * material diffuse * max(0, N . -dir)
// each channel clamped to 0..1. Triangles are Gouraud-shaded with counter-clockwise (on
// screen) back faces culled; lines are lit the same way. Both are depth-tested
// (less-or-equal) while ZENABLE is on, its default.
//
// Ownership: the device renders into a surface and depth buffer it does not own, which
// must outlive their use (until the device is destroyed or given others). It owns every
// viewport, light and material it creates.
// Threads: no lock of its own. SetTransform(VIEW) may come from another thread only
// under the same lock as the draws; nothing else touches the state that call writes.
#include <memory>
#include <optional>
#include <vector>

#include "platform/soft3d/Clipper.h"
#include "platform/Device3D.h"
#include "platform/soft3d/Rasterizer.h"

class CSurface;
class CDepthBuffer;

class CSoftDevice3D final : public IDevice3D {
public:
    // target and depth have the same size.
    CSoftDevice3D(CSurface& target, CDepthBuffer& depth);
    ~CSoftDevice3D() override;
    CSoftDevice3D(const CSoftDevice3D&) = delete;
    CSoftDevice3D& operator=(const CSoftDevice3D&) = delete;

    HRESULT CreateViewport(IViewport3D** viewport) override;
    HRESULT AddViewport(IViewport3D* viewport) override;
    HRESULT SetCurrentViewport(IViewport3D* viewport) override;
    HRESULT CreateLight(ILight3D** light) override;
    HRESULT CreateMaterial(IMaterial3D** material) override;
    HRESULT SetRenderTarget(CSurface& target, CDepthBuffer& depth) override;

    HRESULT SetRenderState(D3DRENDERSTATETYPE state, uint32_t value) override;
    HRESULT SetLightState(D3DLIGHTSTATETYPE state, uint32_t value) override;
    HRESULT SetTransform(D3DTRANSFORMSTATETYPE state, const Matrix4& matrix) override;

    HRESULT BeginScene() override { return S_OK; }
    HRESULT EndScene() override { return S_OK; }
    // Only D3DFVF_VERTEX; a primitive with an index >= vertexCount is skipped.
    HRESULT DrawIndexedPrimitive(D3DPRIMITIVETYPE type, uint32_t fvf, const D3DVERTEX* vertices,
                                 uint32_t vertexCount, const uint16_t* indices, uint32_t indexCount,
                                 uint32_t flags) override;

private:
    class CViewport;
    class CLight;
    class CMaterial;
    struct Lit;

    void ProcessVertices(const D3DVERTEX* vertices, uint32_t count);
    void Light(const Matrix4& world, const D3DVERTEX* vertices, uint32_t count);
    RasterVertex Project(const ClipVertex& v) const;
    void DrawTriangles(const uint16_t* indices, uint32_t indexCount, uint32_t vertexCount);
    void DrawLines(const uint16_t* indices, uint32_t indexCount, uint32_t vertexCount);
    void ClipAndDrawTriangle(uint32_t i0, uint32_t i1, uint32_t i2);
    bool UseViewport();

    CSurface* m_pTarget;
    CDepthBuffer* m_pDepth;
    std::optional<CRasterizer> m_rasterizer;  // always set; made again with each target
    CClipper m_clipper;
    std::vector<std::unique_ptr<CViewport>> m_viewports;
    std::vector<std::unique_ptr<CLight>> m_lights;
    std::vector<std::unique_ptr<CMaterial>> m_materials;
    CViewport* m_pCurrent = nullptr;

    Matrix4 m_world, m_view, m_projection;
    uint32_t m_ambient = 0;  // 0xAARRGGBB
    D3DMATERIALHANDLE m_material = 0;
    bool m_bZEnable = true;

    // Viewport mapping of the current draw: x/w and y/w to pixels.
    float m_scaleX = 0, m_offsetX = 0, m_scaleY = 0, m_offsetY = 0, m_minZ = 0, m_rangeZ = 1;
    // Per-draw scratch; it grows to the largest mesh and is then reused, never reallocated.
    std::vector<ClipVertex> m_clip;
    std::vector<uint32_t> m_outcodes;
    std::vector<RasterVertex> m_screen;
};
