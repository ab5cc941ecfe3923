#include "tests/fakes/RecordingDevice3D.h"

namespace {

class FakeViewport final : public IViewport3D {
public:
    explicit FakeViewport(CRecordingDevice3D* device) : m_device(device)
    {
        m_viewport.dwWidth = 640;
        m_viewport.dwHeight = 480;
    }
    HRESULT SetViewport2(const D3DVIEWPORT2& v) override { m_viewport = v; return S_OK; }
    HRESULT GetViewport2(D3DVIEWPORT2* v) override { *v = m_viewport; return S_OK; }
    HRESULT AddLight(ILight3D*) override { return S_OK; }
    HRESULT Clear2(uint32_t, const D3DRECT*, uint32_t, uint32_t, float, uint32_t) override
    {
        ++m_device->clears;
        m_device->Record("clear");
        return S_OK;
    }

private:
    CRecordingDevice3D* m_device;
    D3DVIEWPORT2 m_viewport;
};

class FakeLight final : public ILight3D {
public:
    HRESULT SetLight(const D3DLIGHT2&) override { return S_OK; }
};

class FakeMaterial final : public IMaterial3D {
public:
    FakeMaterial(CRecordingDevice3D* device, D3DMATERIALHANDLE handle) : m_device(device), m_handle(handle) {}
    HRESULT SetMaterial(const D3DMATERIAL& m) override
    {
        m_device->materials[m_handle - 1] = m;
        return S_OK;
    }
    HRESULT GetHandle(IDevice3D*, D3DMATERIALHANDLE* handle) override
    {
        *handle = m_handle;
        return S_OK;
    }

private:
    CRecordingDevice3D* m_device;
    D3DMATERIALHANDLE m_handle;
};

}  // namespace

HRESULT CRecordingDevice3D::CreateViewport(IViewport3D** viewport)
{
    m_viewports.push_back(std::make_unique<FakeViewport>(this));
    *viewport = m_viewports.back().get();
    return S_OK;
}

IViewport3D* CRecordingDevice3D::Viewport()
{
    if (m_viewports.empty()) {
        IViewport3D* v = nullptr;
        CreateViewport(&v);
    }
    return m_viewports.front().get();
}

HRESULT CRecordingDevice3D::CreateLight(ILight3D** light)
{
    m_lights.push_back(std::make_unique<FakeLight>());
    *light = m_lights.back().get();
    return S_OK;
}

HRESULT CRecordingDevice3D::CreateMaterial(IMaterial3D** material)
{
    materials.emplace_back();
    m_materials.push_back(std::make_unique<FakeMaterial>(this, D3DMATERIALHANDLE(materials.size())));
    *material = m_materials.back().get();
    return S_OK;
}

HRESULT CRecordingDevice3D::SetLightState(D3DLIGHTSTATETYPE state, uint32_t value)
{
    if (state == D3DLIGHTSTATE_MATERIAL) material = value;
    return S_OK;
}

HRESULT CRecordingDevice3D::SetTransform(D3DTRANSFORMSTATETYPE state, const Matrix4& matrix)
{
    if (state == D3DTRANSFORMSTATE_WORLD) world = matrix;
    if (state == D3DTRANSFORMSTATE_VIEW) {
        view = matrix;
        Record("view");
    }
    if (state == D3DTRANSFORMSTATE_PROJECTION) projection = matrix;
    return S_OK;
}

HRESULT CRecordingDevice3D::BeginScene()
{
    Record("begin");
    return S_OK;
}

HRESULT CRecordingDevice3D::EndScene()
{
    Record("end");
    return S_OK;
}

HRESULT CRecordingDevice3D::DrawIndexedPrimitive(D3DPRIMITIVETYPE type, uint32_t, const D3DVERTEX*,
                                                 uint32_t vertexCount, const uint16_t*,
                                                 uint32_t indexCount, uint32_t)
{
    Record("draw");
    draws.push_back({type, vertexCount, indexCount, material, world, view});
    return S_OK;
}

void CRecordingDevice3D::Record(const char* call)
{
    std::lock_guard<std::mutex> lock(m_callsLock);
    calls.emplace_back(call);
}

std::vector<std::string> CRecordingDevice3D::Calls()
{
    std::lock_guard<std::mutex> lock(m_callsLock);
    return calls;
}
