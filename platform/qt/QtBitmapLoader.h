#pragma once
// Windows bitmaps decoded with Qt: a Qt resource (":/" + name) first, then the file.
// Only the BMP format is accepted, whatever the name says, and the declared size is
// checked before any pixel is decoded. Needs no QGuiApplication.
#include "platform/BitmapLoader.h"

class QtBitmapLoader final : public IBitmapLoader {
public:
    std::unique_ptr<CSurface> LoadBitmap(const char* name) override;
};
