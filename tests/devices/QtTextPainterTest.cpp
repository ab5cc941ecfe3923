#include <gtest/gtest.h>

#include <QFontInfo>

#include "platform/Surface.h"
#include "platform/qt/QtTextPainter.h"
#include "tests/devices/GuiApplication.h"

namespace {

class QtTextPainterTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { EnsureGuiApplication(); }

    // Pixels of the surface that are not the background, and where they lie.
    static int Changed(const CSurface& s, uint32_t background, RECT* box = nullptr)
    {
        int n = 0;
        RECT b{s.Width(), s.Height(), -1, -1};
        for (int y = 0; y < s.Height(); ++y)
            for (int x = 0; x < s.Width(); ++x) {
                if ((s.Pixel(x, y) & 0xFFFFFF) == background) continue;
                ++n;
                b = {std::min(b.left, x), std::min(b.top, y), std::max(b.right, x + 1), std::max(b.bottom, y + 1)};
            }
        if (box != nullptr) *box = b;
        return n;
    }
};

TEST_F(QtTextPainterTest, UsesARealInstalledFont)
{
    QtTextPainter painter;
    const QFontInfo info(painter.Font());
    EXPECT_FALSE(info.family().isEmpty());
    EXPECT_TRUE(info.exactMatch() || info.family().contains("DejaVu")) << info.family().toStdString();
    EXPECT_EQ(info.pixelSize(), 13);
}

TEST_F(QtTextPainterTest, DrawsCrispWhiteTextFromItsTopLeftCornerWithoutABox)
{
    QtTextPainter painter;
    CSurface surface(200, 40);
    surface.Fill(0x203040);
    ASSERT_EQ(painter.TextOut(surface, 10, 5, "Score: 000500", 0xFFFFFF), S_OK);
    RECT box;
    const int changed = Changed(surface, 0x203040, &box);
    EXPECT_GT(changed, 40);
    EXPECT_LT(changed, 13 * 60) << "a filled background box";
    EXPECT_GE(box.left, 10);
    EXPECT_GE(box.top, 5);
    EXPECT_LE(box.bottom, 5 + 16);
    EXPECT_GT(box.right, 60);
    for (int y = box.top; y < box.bottom; ++y)
        for (int x = box.left; x < box.right; ++x) {
            const uint32_t p = surface.Pixel(x, y) & 0xFFFFFF;
            EXPECT_TRUE(p == 0x203040 || p == 0xFFFFFF) << std::hex << p;
        }
}

TEST_F(QtTextPainterTest, ASecondTextOverTheFirstLeavesBothVisible)
{
    QtTextPainter painter;
    CSurface one(120, 30), both(120, 30);
    painter.TextOut(one, 4, 4, "Lives: 3", 0xFFFFFF);
    painter.TextOut(both, 4, 4, "Lives: 3", 0xFFFFFF);
    painter.TextOut(both, 8, 6, "Stage: 01", 0xFFFFFF);
    for (int y = 0; y < 30; ++y)
        for (int x = 0; x < 120; ++x)
            if ((one.Pixel(x, y) & 0xFFFFFF) == 0xFFFFFF) {
                ASSERT_EQ(both.Pixel(x, y) & 0xFFFFFF, 0xFFFFFFu);
            }
    EXPECT_GT(Changed(both, 0), Changed(one, 0));
    // Text running off the surface is cut, not written past it.
    CSurface tiny(6, 6);
    EXPECT_EQ(painter.TextOut(tiny, -3, 2, "WWWWWWWW", 0xFFFFFF), S_OK);
}

}  // namespace
