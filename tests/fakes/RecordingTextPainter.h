#pragma once
// Records the texts drawn, with their positions; draws nothing.
#include <mutex>
#include <string>
#include <vector>

#include "platform/TextPainter.h"

class CRecordingTextPainter final : public ITextPainter {
public:
    struct Text {
        int32_t x, y;
        std::string text;
        uint32_t color;
    };
    HRESULT TextOut(CSurface&, int32_t x, int32_t y, const char* text, uint32_t color) override
    {
        std::lock_guard<std::mutex> lock(m_lock);
        texts.push_back({x, y, text, color});
        return S_OK;
    }
    std::vector<Text> Take()
    {
        std::lock_guard<std::mutex> lock(m_lock);
        std::vector<Text> taken;
        taken.swap(texts);
        return taken;
    }
    std::vector<Text> texts;

private:
    std::mutex m_lock;
};
