#pragma once
// Records the texts drawn, with their positions; draws nothing. Every character measures
// kCharWidth x kCharHeight.
#include <mutex>
#include <string>
#include <vector>

#include "platform/TextPainter.h"

class CRecordingTextPainter final : public ITextPainter {
public:
    static constexpr int32_t kCharWidth = 7;
    static constexpr int32_t kCharHeight = 15;
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
    void GetTextExtent(const char* text, int32_t* width, int32_t* height) override
    {
        *width = kCharWidth * static_cast<int32_t>(std::string(text).size());
        *height = kCharHeight;
    }
    void SetScale(float value) override { scale = value; }
    std::vector<Text> Take()
    {
        std::lock_guard<std::mutex> lock(m_lock);
        std::vector<Text> taken;
        taken.swap(texts);
        return taken;
    }
    std::vector<Text> texts;
    float scale = 1.0f;

private:
    std::mutex m_lock;
};
