#pragma once
// A 3D device that draws nothing and records what it was asked to do.
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "platform/Device3D.h"

class CRecordingDevice3D final : public IDevice3D {
public:
    struct Draw {
        D3DPRIMITIVETYPE type;
        uint32_t vertexCount;
        uint32_t indexCount;
        D3DMATERIALHANDLE material;
        Matrix4 world;
        Matrix4 view;
    };

    HRESULT CreateViewport(IViewport3D** viewport) override;
    HRESULT AddViewport(IViewport3D*) override { return S_OK; }
    HRESULT SetCurrentViewport(IViewport3D*) override { return S_OK; }
    HRESULT CreateLight(ILight3D** light) override;
    HRESULT CreateMaterial(IMaterial3D** material) override;
    HRESULT SetRenderTarget(CSurface&, CDepthBuffer&) override { return S_OK; }
    HRESULT SetRenderState(D3DRENDERSTATETYPE, uint32_t) override { return S_OK; }
    HRESULT SetLightState(D3DLIGHTSTATETYPE state, uint32_t value) override;
    HRESULT SetTransform(D3DTRANSFORMSTATETYPE state, const Matrix4& matrix) override;
    HRESULT BeginScene() override;
    HRESULT EndScene() override;
    HRESULT DrawIndexedPrimitive(D3DPRIMITIVETYPE type, uint32_t fvf, const D3DVERTEX* vertices,
                                 uint32_t vertexCount, const uint16_t* indices,
                                 uint32_t indexCount, uint32_t flags) override;

    // The viewport this device made first, created on demand (640 x 480 unless set).
    IViewport3D* Viewport();

    // Guarded by its own lock: a soak test writes it from the tick and the paint at once.
    // Everything else is guarded, as on the real device, by the game's own locking.
    void Record(const char* call);
    std::vector<std::string> Calls();
    std::vector<std::string> calls;  // "clear", "begin", "end", "draw", "view"
    std::vector<Draw> draws;
    std::vector<D3DMATERIAL> materials;  // indexed by handle - 1
    Matrix4 world, view, projection;
    D3DMATERIALHANDLE material = 0;
    int clears = 0;

private:
    std::mutex m_callsLock;
    std::vector<std::unique_ptr<IViewport3D>> m_viewports;
    std::vector<std::unique_ptr<ILight3D>> m_lights;
    std::vector<std::unique_ptr<IMaterial3D>> m_materials;
};
