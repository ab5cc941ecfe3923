#pragma once
// Base of every moving 3D thing. Objects live in the object table (ObjectTable.h), which
// owns them; each kind overrides Update (one tick; false asks to be removed) and Render.
#include "render/Math3D.h"
#include "render/MeshTemplate.h"

class CGameObject {
public:
    virtual ~CGameObject() = default;
    virtual bool Update() { return true; }
    virtual void Render() {}

    D3DMATERIALHANDLE m_hMaterial = 0;  // fetched again at every draw
    Matrix4 m_matWorld;                 // last world matrix drawn with
    Vector3 m_vPos;
    Vector3 m_vScale;                   // equal on all axes
    Vector3 m_vRot;                     // radians; accumulates, never wrapped
    MESHTEMPLATE m_mesh;                // whole copy of the kind's template

protected:
    // Copies the template and sets the common members; kinds call it from their constructor.
    CGameObject(const MESHTEMPLATE& mesh, const Vector3& pos, float scale);

    void Rotate(float dx, float dy, float dz);
    // World = RotZ, then RotY, then RotX, then scale, then translate.
    void DrawMesh(D3DPRIMITIVETYPE type);
    // Sets m_matWorld as the world transform and draws the mesh copy with its material.
    void DrawWithWorld(D3DPRIMITIVETYPE type);
};
