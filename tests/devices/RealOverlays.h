#pragma once
// The text painter and bitmap loader the game hands its display, for the frame checksums
// and the paint benchmark. Needs a QGuiApplication first; keep it alive as long as the
// display it was handed to.
#include "platform/DisplayDevices.h"
#include "platform/qt/QtBitmapLoader.h"
#include "platform/qt/QtTextPainter.h"

struct CRealOverlays {
    QtTextPainter painter;
    QtBitmapLoader loader;

    DisplayDevices Devices()
    {
        DisplayDevices devices;
        devices.pTextPainter = &painter;
        devices.pBitmapLoader = &loader;
        return devices;
    }
    // The picture without the texts: what the golden scenes hold, whatever fonts the
    // system has.
    DisplayDevices WithoutTexts()
    {
        DisplayDevices devices = Devices();
        devices.pTextPainter = nullptr;
        return devices;
    }
};
