// Arbitrary bytes as the title picture, loaded the way the display loads it: through the
// Qt bitmap loader from a file, then colour-keyed onto a back buffer.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include <unistd.h>

#include <QtGlobal>

#include "platform/Surface.h"
#include "platform/qt/QtBitmapLoader.h"
#include "render/Display.h"
#include "tests/fakes/FakeWindow.h"

namespace {

const std::string& PicturePath()
{
    static const std::string path = [] {
        char name[] = "/tmp/vantor-bitmap-fuzz-XXXXXX";
        const int fd = mkstemp(name);
        if (fd < 0) std::abort();
        close(fd);
        return std::string(name);
    }();
    return path;
}

void WritePicture(const uint8_t* data, size_t size)
{
    FILE* const file = std::fopen(PicturePath().c_str(), "wb");
    if (file == nullptr) std::abort();
    if (size > 0 && std::fwrite(data, 1, size, file) != size) std::abort();
    std::fclose(file);
}

}  // namespace

// Qt's decoder warns about every odd palette index; at fuzzing speed that is mostly noise.
extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    qInstallMessageHandler([](QtMsgType, const QMessageLogContext&, const QString&) {});
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    WritePicture(data, size);
    static QtBitmapLoader loader;
    static CSurface back(64, 48);
    CFakeWindow window;
    DisplayDevices devices;
    devices.pBitmapLoader = &loader;
    CDisplay display(devices);
    display.m_hWnd = &window;
    const bool loaded = display.LoadBitmapSurface(display.m_pddsTitle, PicturePath().c_str());
    if (loaded != (display.m_pddsTitle != nullptr) || loaded != window.messageBoxes.empty()) std::abort();
    if (loaded) {
        const CSurface& title = *display.m_pddsTitle;
        if (title.Width() > kMaxBitmapWidth || title.Height() > kMaxBitmapHeight) std::abort();
        display.BltBitmap(display.m_pddsTitle, &back, DDBLTFAST_SRCCOLORKEY, -3, 5);
        display.ReloadBitmapSurface(display.m_pddsTitle, PicturePath().c_str());
    }
    display.ReleaseObjects();
    return 0;
}
