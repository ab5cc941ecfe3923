#pragma once
// A frame window that records what the game asked of it.
#include <atomic>
#include <functional>
#include <string>
#include <vector>

#include "platform/Window.h"

class CFakeWindow final : public IWindow {
public:
    void InvalidateRect() override { ++invalidates; }
    intptr_t SendMessage(uint32_t message) override;
    void MessageBox(const char* text, const char* caption) override;
    void DestroyWindow() override { destroyed = true; }
    RECT GetClientRectOnScreen() const override { return clientRect; }
    bool IsForeground() const override { return foreground; }
    int32_t GetScreenBitsPerPixel() const override { return bitsPerPixel; }
    IPrimarySurface* GetPrimarySurface() override { return primary; }

    std::atomic<int> invalidates{0};
    std::vector<uint32_t> messages;
    std::function<void(uint32_t)> onMessage;  // runs inside SendMessage
    std::vector<std::string> messageBoxes;    // "caption: text"
    bool destroyed = false;
    bool foreground = true;
    RECT clientRect{0, 0, 640, 480};
    int32_t bitsPerPixel = 32;
    IPrimarySurface* primary = nullptr;
};
