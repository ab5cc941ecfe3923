#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <utility>
#include <vector>

#include <QImage>
#include <QLabel>
#include <QPushButton>
#include <QTimer>
#include <QWidget>

#include "app/AboutDlg.h"
#include "app/Icons.h"
#include "app/LinkOpener.h"

namespace {

const QLabel* LabelWithText(const QDialog& dialog, const QString& text)
{
    for (const QLabel* label : dialog.findChildren<QLabel*>())
        if (label->text() == text) return label;
    return nullptr;
}

// Every pixel of the image is pure, opaque green or black.
bool OnlyGreenAndBlack(const QImage& image)
{
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const QRgb pixel = image.pixel(x, y);
            if (pixel != qRgb(0, 255, 0) && pixel != qRgb(0, 0, 0)) return false;
        }
    return true;
}

TEST(AboutDlg, ShowsTheCreditsTheIconAndTheTwoButtons)
{
    const CAboutDlg dialog(nullptr);
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("About"));
    for (const char* text : {"Vantor", "written by Marvesto", "...keep on blasting !!!", "e-mail:"})
        EXPECT_NE(LabelWithText(dialog, QString::fromLatin1(text)), nullptr) << text;

    const auto* const ok = dialog.findChild<QPushButton*>(QStringLiteral("IDOK"));
    ASSERT_NE(ok, nullptr);
    EXPECT_EQ(ok->text(), QStringLiteral("OK"));
    EXPECT_TRUE(ok->isDefault());

    const auto* const email = dialog.findChild<QPushButton*>(QStringLiteral("IDC_EMAIL"));
    ASSERT_NE(email, nullptr);
    EXPECT_EQ(email->text(), QStringLiteral("marvesto@example.com"));
    // To the right of its label, on the same line.
    const QLabel* const label = LabelWithText(dialog, QStringLiteral("e-mail:"));
    ASSERT_NE(label, nullptr);
    EXPECT_LT(label->geometry().left(), email->geometry().left());
    EXPECT_LT(std::abs(label->geometry().center().y() - email->geometry().center().y()),
              email->height());

    int icons = 0;
    for (const QLabel* icon : dialog.findChildren<QLabel*>()) {
        if (icon->pixmap().isNull()) continue;
        ++icons;
        EXPECT_EQ(icon->pixmap().size(), QSize(32, 32));
        EXPECT_EQ(icon->size(), QSize(32, 32));
    }
    EXPECT_EQ(icons, 1);

    // Near the template's 167 x 139 units at 9 points.
    EXPECT_NEAR(dialog.width(), 250, 60);
    EXPECT_NEAR(dialog.height(), 225, 60);
}

TEST(AboutDlg, TheEmailButtonOpensTheMailtoLinkAndTheBoxStaysOpen)
{
    QWidget owner;
    owner.setGeometry(120, 90, 640, 480);
    owner.show();
    CAboutDlg dialog(&owner);
    std::vector<std::pair<std::string, int>> opened;
    // A failed launch, which must change nothing either.
    dialog.SetLinkOpener([&opened](const char* url, int show) {
        opened.emplace_back(url, show);
        return kLinkNoHandler;
    });

    bool openAfterClicks = false;
    QPoint offCentre(1000, 1000);
    QTimer::singleShot(0, &dialog, [&] {
        auto* const email = dialog.findChild<QPushButton*>(QStringLiteral("IDC_EMAIL"));
        email->click();
        email->click();
        openAfterClicks = dialog.isVisible() && dialog.result() == 0;
        offCentre = dialog.frameGeometry().center() - owner.frameGeometry().center();
        dialog.findChild<QPushButton*>(QStringLiteral("IDOK"))->click();
    });
    QTimer::singleShot(5000, &dialog, &QDialog::reject);  // a stuck test ends anyway

    EXPECT_EQ(dialog.DoModal(), QDialog::Accepted);
    EXPECT_TRUE(openAfterClicks);
    const std::pair<std::string, int> expected("mailto:marvesto@example.com", SW_SHOW);
    EXPECT_EQ(opened, (std::vector<std::pair<std::string, int>>{expected, expected}));
    // Within a few pixels: window frames are estimated where no window manager runs.
    EXPECT_LE(offCentre.manhattanLength(), 8) << offCentre.x() << "," << offCentre.y();
}

TEST(GameIcon, IsAGreenOutlineOnBlackInSixteenAndThirtyTwoPixels)
{
    const QIcon icon = LoadGameIcon();
    const QList<QSize> sizes = icon.availableSizes();
    EXPECT_TRUE(sizes.contains(QSize(16, 16)));
    EXPECT_TRUE(sizes.contains(QSize(32, 32)));

    for (const int side : {16, 32}) {
        const QImage image = icon.pixmap(side, side).toImage();
        ASSERT_EQ(image.size(), QSize(side, side));
        // Opaque too: pixel() keeps the alpha, which a transparent pixel would not match.
        EXPECT_TRUE(OnlyGreenAndBlack(image.convertToFormat(QImage::Format_ARGB32))) << side;
        // An outline: green at the tip, black inside and in the corners.
        const int middle = side / 2 - 1;
        EXPECT_EQ(image.pixel(middle, 1), qRgb(0, 255, 0));
        EXPECT_EQ(image.pixel(middle, side / 2), qRgb(0, 0, 0));
        EXPECT_EQ(image.pixel(0, 0), qRgb(0, 0, 0));
    }
    EXPECT_EQ(LoadGameIconPixmap().size(), QSize(32, 32));
}

}  // namespace
