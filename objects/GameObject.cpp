#include "objects/GameObject.h"

#include "game/Globals.h"

CGameObject::CGameObject(const MESHTEMPLATE& mesh, const Vector3& pos, float scale)
    : m_matWorld(MatIdentity()), m_vPos(pos), m_vScale(scale, scale, scale), m_mesh(mesh)
{
}

void CGameObject::Rotate(float dx, float dy, float dz)
{
    m_vRot.x += dx;
    m_vRot.y += dy;
    m_vRot.z += dz;
}

void CGameObject::DrawMesh(D3DPRIMITIVETYPE type)
{
    const Matrix4 ts = MatMultiply(MatTranslate(m_vPos), MatScale(m_vScale));
    const Matrix4 xy = MatMultiply(MatRotateX(m_vRot.x), MatRotateY(m_vRot.y));
    m_matWorld = MatMultiply(MatMultiply(ts, xy), MatRotateZ(m_vRot.z));
    DrawWithWorld(type);
}

void CGameObject::DrawWithWorld(D3DPRIMITIVETYPE type)
{
    g_pD3DDevice->SetTransform(D3DTRANSFORMSTATE_WORLD, m_matWorld);
    if (m_mesh.pMaterial != nullptr) m_mesh.pMaterial->GetHandle(g_pD3DDevice, &m_hMaterial);
    g_pD3DDevice->SetLightState(D3DLIGHTSTATE_MATERIAL, m_hMaterial);
    g_pD3DDevice->DrawIndexedPrimitive(type, D3DFVF_VERTEX, m_mesh.vertices,
                                       static_cast<uint32_t>(m_mesh.nVertices), m_mesh.indices,
                                       static_cast<uint32_t>(m_mesh.nIndices), 0);
}
