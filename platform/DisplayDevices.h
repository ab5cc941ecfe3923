#pragma once
// What the display draws with, handed to it at construction: the application passes
// the real text painter and bitmap loader, tests pass fakes. The caller owns the painter
// and loader and keeps them alive as long as the display.
#include <functional>
#include <memory>

class CDepthBuffer;
class CSurface;
class IBitmapLoader;
class IDevice3D;
class ITextPainter;

struct DisplayDevices {
    // Makes the 3D device rendering into the back buffer and its depth buffer; both
    // outlive the device. Empty: the software device. A null result fails the display.
    std::function<std::unique_ptr<IDevice3D>(CSurface& target, CDepthBuffer& depth)> makeDevice;
    ITextPainter* pTextPainter = nullptr;    // null: texts draw nothing
    IBitmapLoader* pBitmapLoader = nullptr;  // null: no picture can be loaded
};
