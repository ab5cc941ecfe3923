#include "platform/soft3d/SoftDevice3D.h"

#include <algorithm>
#include <cmath>

#include "platform/DepthBuffer.h"
#include "platform/Surface.h"

class CSoftDevice3D::CLight final : public ILight3D {
public:
    HRESULT SetLight(const D3DLIGHT2& light) override
    {
        m_light = light;
        return S_OK;
    }
    D3DLIGHT2 m_light;
};

class CSoftDevice3D::CMaterial final : public IMaterial3D {
public:
    explicit CMaterial(D3DMATERIALHANDLE handle) : m_handle(handle) {}
    HRESULT SetMaterial(const D3DMATERIAL& material) override
    {
        m_material = material;
        return S_OK;
    }
    HRESULT GetHandle(IDevice3D*, D3DMATERIALHANDLE* handle) override
    {
        if (handle == nullptr) return E_INVALIDARG;
        *handle = m_handle;
        return S_OK;
    }
    D3DMATERIAL m_material;

private:
    D3DMATERIALHANDLE m_handle;
};

class CSoftDevice3D::CViewport final : public IViewport3D {
public:
    CViewport(CSoftDevice3D& device) : m_device(device) {}

    HRESULT SetViewport2(const D3DVIEWPORT2& v) override
    {
        const bool sane = v.dwWidth >= 1 && v.dwHeight >= 1 && v.dvClipWidth > 0 &&
                          v.dvClipHeight > 0 && std::isfinite(v.dvClipX) && std::isfinite(v.dvClipY) &&
                          std::isfinite(v.dvClipWidth) && std::isfinite(v.dvClipHeight) &&
                          std::isfinite(v.dvMinZ) && std::isfinite(v.dvMaxZ);
        if (!sane) return E_INVALIDARG;
        m_viewport = v;
        m_bSet = true;
        return S_OK;
    }
    HRESULT GetViewport2(D3DVIEWPORT2* v) override
    {
        if (v == nullptr) return E_INVALIDARG;
        *v = m_viewport;
        return S_OK;
    }
    HRESULT AddLight(ILight3D* light) override
    {
        for (const auto& own : m_device.m_lights) {
            if (own.get() != light) continue;
            if (std::find(m_attached.begin(), m_attached.end(), own.get()) == m_attached.end()) m_attached.push_back(own.get());
            return S_OK;
        }
        return E_INVALIDARG;  // not one of this device's lights
    }
    HRESULT Clear2(uint32_t count, const D3DRECT* rects, uint32_t flags, uint32_t color, float z,
                   uint32_t) override;

    // The viewport's pixels, clipped to the render target.
    RECT Area() const
    {
        const int64_t right = int64_t(m_viewport.dwX) + m_viewport.dwWidth;
        const int64_t bottom = int64_t(m_viewport.dwY) + m_viewport.dwHeight;
        const CSurface& target = *m_device.m_pTarget;
        return {int32_t(std::min<int64_t>(m_viewport.dwX, target.Width())),
                int32_t(std::min<int64_t>(m_viewport.dwY, target.Height())),
                int32_t(std::min<int64_t>(right, target.Width())),
                int32_t(std::min<int64_t>(bottom, target.Height()))};
    }

    D3DVIEWPORT2 m_viewport;
    bool m_bSet = false;
    std::vector<CLight*> m_attached;

private:
    CSoftDevice3D& m_device;
};

HRESULT CSoftDevice3D::CViewport::Clear2(uint32_t count, const D3DRECT* rects, uint32_t flags,
                                         uint32_t color, float z, uint32_t)
{
    if (count > 0 && rects == nullptr) return E_INVALIDARG;
    const RECT area = Area();
    for (uint32_t i = 0; i < count; ++i) {
        const RECT r{std::clamp(rects[i].x1, area.left, area.right), std::clamp(rects[i].y1, area.top, area.bottom),
                     std::clamp(rects[i].x2, area.left, area.right), std::clamp(rects[i].y2, area.top, area.bottom)};
        if (r.left >= r.right || r.top >= r.bottom) continue;
        if (flags & D3DCLEAR_TARGET) m_device.m_pTarget->FillRect(r, color & 0x00FFFFFFu);
        if (flags & D3DCLEAR_ZBUFFER) m_device.m_pDepth->FillRect(r.left, r.top, r.right, r.bottom, z);
    }
    return S_OK;
}

CSoftDevice3D::CSoftDevice3D(CSurface& target, CDepthBuffer& depth)
    : m_pTarget(&target), m_pDepth(&depth), m_rasterizer(std::in_place, target, depth), m_world(MatIdentity()),
      m_view(MatIdentity()), m_projection(MatIdentity())
{
    m_clip.reserve(256);
    m_outcodes.reserve(256);
    m_screen.reserve(256);
}

CSoftDevice3D::~CSoftDevice3D() = default;

HRESULT CSoftDevice3D::SetRenderTarget(CSurface& target, CDepthBuffer& depth)
{
    m_pTarget = &target;
    m_pDepth = &depth;
    m_rasterizer.emplace(target, depth);
    return S_OK;
}

HRESULT CSoftDevice3D::CreateViewport(IViewport3D** viewport)
{
    if (viewport == nullptr) return E_INVALIDARG;
    m_viewports.push_back(std::make_unique<CViewport>(*this));
    *viewport = m_viewports.back().get();
    return S_OK;
}

HRESULT CSoftDevice3D::AddViewport(IViewport3D* viewport)
{
    for (const auto& own : m_viewports) {
        if (own.get() == viewport) return S_OK;
    }
    return E_INVALIDARG;
}

HRESULT CSoftDevice3D::SetCurrentViewport(IViewport3D* viewport)
{
    for (const auto& own : m_viewports) {
        if (own.get() != viewport) continue;
        m_pCurrent = own.get();
        return S_OK;
    }
    return E_INVALIDARG;
}

HRESULT CSoftDevice3D::CreateLight(ILight3D** light)
{
    if (light == nullptr) return E_INVALIDARG;
    m_lights.push_back(std::make_unique<CLight>());
    *light = m_lights.back().get();
    return S_OK;
}

HRESULT CSoftDevice3D::CreateMaterial(IMaterial3D** material)
{
    if (material == nullptr) return E_INVALIDARG;
    m_materials.push_back(std::make_unique<CMaterial>(D3DMATERIALHANDLE(m_materials.size() + 1)));
    *material = m_materials.back().get();
    return S_OK;
}

HRESULT CSoftDevice3D::SetRenderState(D3DRENDERSTATETYPE state, uint32_t value)
{
    if (state == D3DRENDERSTATE_ZENABLE) m_bZEnable = value != 0;
    // Dithering means nothing at 32 bits per pixel, and there is no specular term.
    return S_OK;
}

HRESULT CSoftDevice3D::SetLightState(D3DLIGHTSTATETYPE state, uint32_t value)
{
    switch (state) {
    case D3DLIGHTSTATE_MATERIAL: m_material = value; return S_OK;
    case D3DLIGHTSTATE_AMBIENT: m_ambient = value; return S_OK;
    }
    return E_INVALIDARG;
}

HRESULT CSoftDevice3D::SetTransform(D3DTRANSFORMSTATETYPE state, const Matrix4& matrix)
{
    switch (state) {
    case D3DTRANSFORMSTATE_WORLD: m_world = matrix; return S_OK;
    case D3DTRANSFORMSTATE_VIEW: m_view = matrix; return S_OK;
    case D3DTRANSFORMSTATE_PROJECTION: m_projection = matrix; return S_OK;
    }
    return E_INVALIDARG;
}

HRESULT CSoftDevice3D::DrawIndexedPrimitive(D3DPRIMITIVETYPE type, uint32_t fvf,
                                            const D3DVERTEX* vertices, uint32_t vertexCount,
                                            const uint16_t* indices, uint32_t indexCount, uint32_t)
{
    if (fvf != D3DFVF_VERTEX || (type != D3DPT_TRIANGLELIST && type != D3DPT_LINELIST))
        return E_INVALIDARG;
    if ((vertexCount > 0 && vertices == nullptr) || (indexCount > 0 && indices == nullptr))
        return E_INVALIDARG;
    if (!UseViewport()) return E_FAIL;
    ProcessVertices(vertices, vertexCount);
    if (type == D3DPT_TRIANGLELIST)
        DrawTriangles(indices, indexCount, vertexCount);
    else
        DrawLines(indices, indexCount, vertexCount);
    return S_OK;
}

bool CSoftDevice3D::UseViewport()
{
    if (m_pCurrent == nullptr || !m_pCurrent->m_bSet) return false;
    const D3DVIEWPORT2& v = m_pCurrent->m_viewport;
    m_scaleX = float(v.dwWidth) / v.dvClipWidth;
    m_offsetX = float(v.dwX) - v.dvClipX * m_scaleX;
    m_scaleY = float(v.dwHeight) / v.dvClipHeight;
    m_offsetY = float(v.dwY) + v.dvClipY * m_scaleY;
    m_minZ = v.dvMinZ;
    m_rangeZ = v.dvMaxZ - v.dvMinZ;
    m_clipper.SetVisibleWindow(v.dvClipX, v.dvClipX + v.dvClipWidth, v.dvClipY - v.dvClipHeight, v.dvClipY);
    m_rasterizer->SetScissor(m_pCurrent->Area());
    m_rasterizer->SetDepthTest(m_bZEnable);
    return true;
}

void CSoftDevice3D::ProcessVertices(const D3DVERTEX* vertices, uint32_t count)
{
    if (m_clip.size() < count) {
        m_clip.resize(count);
        m_outcodes.resize(count);
        m_screen.resize(count);
    }
    // MatMultiply(a, b) is b * a: this is World * View * Projection.
    const Matrix4 m = MatMultiply(m_projection, MatMultiply(m_view, m_world));
    for (uint32_t i = 0; i < count; ++i) {
        const D3DVERTEX& p = vertices[i];
        ClipVertex& c = m_clip[i];
        c.x = p.x * m.m[0][0] + p.y * m.m[1][0] + p.z * m.m[2][0] + m.m[3][0];
        c.y = p.x * m.m[0][1] + p.y * m.m[1][1] + p.z * m.m[2][1] + m.m[3][1];
        c.z = p.x * m.m[0][2] + p.y * m.m[1][2] + p.z * m.m[2][2] + m.m[3][2];
        c.w = p.x * m.m[0][3] + p.y * m.m[1][3] + p.z * m.m[2][3] + m.m[3][3];
        m_outcodes[i] = m_clipper.Outcode(c);
    }
    Light(m_world, vertices, count);
    for (uint32_t i = 0; i < count; ++i) {
        if (m_outcodes[i] == 0) m_screen[i] = Project(m_clip[i]);
    }
}

void CSoftDevice3D::Light(const Matrix4& w, const D3DVERTEX* vertices, uint32_t count)
{
    static const D3DMATERIAL kNoMaterial;
    const D3DMATERIAL& mat = m_material >= 1 && m_material <= m_materials.size()
                                 ? m_materials[m_material - 1]->m_material
                                 : kNoMaterial;
    const float ambient[3] = {float((m_ambient >> 16) & 0xFF) / 255.0f,
                              float((m_ambient >> 8) & 0xFF) / 255.0f, float(m_ambient & 0xFF) / 255.0f};
    const float base[3] = {mat.dcvEmissive.r + ambient[0] * mat.dcvAmbient.r,
                           mat.dcvEmissive.g + ambient[1] * mat.dcvAmbient.g,
                           mat.dcvEmissive.b + ambient[2] * mat.dcvAmbient.b};
    struct Directional {
        float x, y, z, r, g, b;
    } lights[8];
    int lightCount = 0;
    for (const CLight* light : m_pCurrent->m_attached) {
        const D3DLIGHT2& l = light->m_light;
        const Vector3& d = l.dvDirection;
        const float length = std::sqrt(d.x * d.x + d.y * d.y + d.z * d.z);
        if (!(l.dwFlags & D3DLIGHT_ACTIVE) || l.dltType != D3DLIGHT_DIRECTIONAL || !(length > 0)) continue;
        if (lightCount == 8) break;
        lights[lightCount++] = {-d.x / length, -d.y / length, -d.z / length, l.dcvColor.r * mat.dcvDiffuse.r,
                                l.dcvColor.g * mat.dcvDiffuse.g, l.dcvColor.b * mat.dcvDiffuse.b};
    }
    for (uint32_t i = 0; i < count; ++i) {
        const D3DVERTEX& v = vertices[i];
        float nx = v.nx * w.m[0][0] + v.ny * w.m[1][0] + v.nz * w.m[2][0];
        float ny = v.nx * w.m[0][1] + v.ny * w.m[1][1] + v.nz * w.m[2][1];
        float nz = v.nx * w.m[0][2] + v.ny * w.m[1][2] + v.nz * w.m[2][2];
        // Renormalised because objects are scaled; a zero normal stays zero and takes no light.
        const float length2 = nx * nx + ny * ny + nz * nz;
        if (length2 > 0) {
            const float inv = 1.0f / std::sqrt(length2);
            nx *= inv, ny *= inv, nz *= inv;
        }
        float colour[3] = {base[0], base[1], base[2]};
        for (int l = 0; l < lightCount; ++l) {
            const float lambert = nx * lights[l].x + ny * lights[l].y + nz * lights[l].z;
            if (!(lambert > 0)) continue;
            colour[0] += lights[l].r * lambert;
            colour[1] += lights[l].g * lambert;
            colour[2] += lights[l].b * lambert;
        }
        ClipVertex& c = m_clip[i];
        c.r = std::clamp(colour[0], 0.0f, 1.0f) * 255.0f;
        c.g = std::clamp(colour[1], 0.0f, 1.0f) * 255.0f;
        c.b = std::clamp(colour[2], 0.0f, 1.0f) * 255.0f;
    }
}

RasterVertex CSoftDevice3D::Project(const ClipVertex& v) const
{
    const float inv = 1.0f / v.w;
    return {m_offsetX + m_scaleX * v.x * inv, m_offsetY - m_scaleY * v.y * inv,
            m_minZ + m_rangeZ * v.z * inv, v.r, v.g, v.b};
}

void CSoftDevice3D::DrawTriangles(const uint16_t* indices, uint32_t indexCount, uint32_t vertexCount)
{
    for (uint32_t t = 0; t + 3 <= indexCount; t += 3) {
        const uint32_t i0 = indices[t], i1 = indices[t + 1], i2 = indices[t + 2];
        if (i0 >= vertexCount || i1 >= vertexCount || i2 >= vertexCount) continue;
        const uint32_t o0 = m_outcodes[i0], o1 = m_outcodes[i1], o2 = m_outcodes[i2];
        if ((o0 | o1 | o2) == 0)
            m_rasterizer->DrawTriangle(m_screen[i0], m_screen[i1], m_screen[i2]);
        else if ((o0 & o1 & o2) == 0)
            ClipAndDrawTriangle(i0, i1, i2);
    }
}

void CSoftDevice3D::ClipAndDrawTriangle(uint32_t i0, uint32_t i1, uint32_t i2)
{
    ClipVertex polygon[CClipper::kMaxPolygon];
    const uint32_t mask = m_outcodes[i0] | m_outcodes[i1] | m_outcodes[i2];
    const int count = m_clipper.ClipTriangle(m_clip[i0], m_clip[i1], m_clip[i2], mask, polygon);
    if (count < 3) return;
    const RasterVertex first = Project(polygon[0]);
    RasterVertex previous = Project(polygon[1]);
    for (int i = 2; i < count; ++i) {
        const RasterVertex next = Project(polygon[i]);
        m_rasterizer->DrawTriangle(first, previous, next);
        previous = next;
    }
}

void CSoftDevice3D::DrawLines(const uint16_t* indices, uint32_t indexCount, uint32_t vertexCount)
{
    for (uint32_t l = 0; l + 2 <= indexCount; l += 2) {
        const uint32_t i0 = indices[l], i1 = indices[l + 1];
        if (i0 >= vertexCount || i1 >= vertexCount) continue;
        const uint32_t o0 = m_outcodes[i0], o1 = m_outcodes[i1];
        if ((o0 | o1) == 0) {
            m_rasterizer->DrawLine(m_screen[i0], m_screen[i1]);
        } else if ((o0 & o1) == 0) {
            ClipVertex a = m_clip[i0], b = m_clip[i1];
            if (m_clipper.ClipLine(a, b, o0 | o1)) m_rasterizer->DrawLine(Project(a), Project(b));
        }
    }
}
