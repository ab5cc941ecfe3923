#pragma once
// A mesh as objects copy and draw it: fixed capacities, the counts in use and a material
// that the template owns (the device keeps it alive). Copies share the material.
#include <cstdint>

#include "platform/Device3D.h"

struct MESHTEMPLATE {
    int32_t nVertices = 0;   // 0..256
    int32_t nIndices = 0;    // 0..512
    IMaterial3D* pMaterial = nullptr;
    D3DVERTEX vertices[256];
    uint16_t indices[512] = {};
};
