#pragma once
// Draws text onto a pixel surface with the desktop's default font: transparent
// background, one colour. The real one paints with Qt; tests record the calls.
#include <cstdint>

#include "platform/HResult.h"

class CSurface;

class ITextPainter {
public:
    virtual ~ITextPainter() = default;
    // color is 0x00RRGGBB. Fails, drawing nothing, when the surface cannot be painted on.
    virtual HRESULT TextOut(CSurface& surface, int32_t x, int32_t y, const char* text,
                            uint32_t color) = 0;
    // The size in pixels of the cell TextOut would draw the text in.
    virtual void GetTextExtent(const char* text, int32_t* width, int32_t* height) = 0;
    // Pixels per unit of the game area (1..8, fractional on a desktop scaled so): the font
    // grows with it, so text drawn on a surface made for a high-resolution screen stays as
    // sharp as the screen.
    virtual void SetScale(float scale) = 0;
};
