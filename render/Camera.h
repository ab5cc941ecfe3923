#pragma once
// The viewer: eye, target, up and roll, turned into the device's view transform.
// There is one camera (g_pCamera). The constructor sets nothing; SetView must come first.
// SetView and Refresh use g_pD3DDevice; callers on the timer thread hold g_lock, because
// the paint draws with the same view transform on the window thread.
#include "platform/HResult.h"
#include "render/Math3D.h"

class CCamera {
public:
    CCamera() {}
    virtual ~CCamera() = default;

    HRESULT SetView(float eyeX, float eyeY, float eyeZ, float targetX, float targetY, float targetZ,
                    float upX, float upY, float upZ, float roll);
    // Rebuilds m_matView from the members (the ship nudges m_fRoll and m_vEye.y) and sets it.
    HRESULT Refresh();

    Vector3 m_vEye;
    Vector3 m_vTarget;
    Vector3 m_vUp;
    Matrix4 m_matView;
    float m_fRoll;  // radians
};
