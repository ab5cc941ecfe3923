#include "render/Camera.h"

#include "game/Globals.h"
#include "platform/Device3D.h"

HRESULT CCamera::SetView(float eyeX, float eyeY, float eyeZ, float targetX, float targetY,
                         float targetZ, float upX, float upY, float upZ, float roll)
{
    m_vEye = {eyeX, eyeY, eyeZ};
    m_vTarget = {targetX, targetY, targetZ};
    m_vUp = {upX, upY, upZ};
    m_fRoll = roll;
    return Refresh();
}

HRESULT CCamera::Refresh()
{
    // The roll turns the world about its own z axis before the look-at; the look-at's own
    // roll step would turn the picture after it, which tilts differently off-axis.
    const Matrix4 look = MatLookAt(m_vEye, m_vTarget, m_vUp, 0.0f);
    m_matView = MatMultiply(look, MatRotateZ(m_fRoll));
    return g_pD3DDevice->SetTransform(D3DTRANSFORMSTATE_VIEW, m_matView);
}
