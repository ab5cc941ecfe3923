#include <gtest/gtest.h>

#include <sys/stat.h>

#include <cstdlib>
#include <cstring>
#include <functional>

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMainWindow>
#include <QPointer>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include "app/HighScoreEntryDlg.h"
#include "app/HighScoreTableDlg.h"
#include "game/Globals.h"
#include "game/HighScores.h"
#include "tests/fakes/ScratchFolder.h"
#include "tests/qt/WhenModal.h"

// Readable failure messages.
void PrintTo(const QString& text, std::ostream* out) { *out << '"' << text.toStdString() << '"'; }

namespace {

QLineEdit* NameEdit(QDialog* dialog) { return dialog->findChild<QLineEdit*>("IDC_NAME"); }

std::string Name(int i) { return std::string(g_highScores[i].szName, strnlen(g_highScores[i].szName, 32)); }

// Entry i scores 1600 - 100 i and is named "E<i>".
void FillDescending()
{
    for (int i = 0; i < kHighScores; ++i) {
        g_highScores[i] = HIGHSCORE{1600 - 100 * i, {}};
        std::snprintf(g_highScores[i].szName, 32, "E%d", i);
    }
}

class HighScoreDlgTest : public ::testing::Test {
protected:
    HighScoreDlgTest()
    {
        std::memset(g_highScores, 0, sizeof g_highScores);
        LoadHighScoresFrom(kHighScoreFile);
        g_nScore = 1500;
    }

    CScratchFolder folder;
};

TEST_F(HighScoreDlgTest, TypingSixteenCharactersAndEnterStoresFifteen)
{
    CHighScoreEntryDlg dialog(nullptr);
    QString typed;
    WhenModal([&typed](QDialog* d) {
        EXPECT_EQ(d->windowTitle(), "High Score Entry");
        EXPECT_EQ(d->findChild<QLabel*>()->text(), "Please enter your Name:");
        EXPECT_TRUE(d->findChild<QPushButton*>("IDOK")->isDefault());
        // Focus follows the dialog's activation, an event that can come late under load.
        EXPECT_TRUE(QTest::qWaitFor([d] { return NameEdit(d)->hasFocus(); }, 2000));
        QTest::keyClicks(NameEdit(d), "ABCDEFGHIJKLMNOPQ");
        typed = NameEdit(d)->text();
        QTest::keyClick(NameEdit(d), Qt::Key_Return);
    });
    EXPECT_EQ(dialog.DoModal(), QDialog::Accepted);
    EXPECT_EQ(typed, "ABCDEFGHIJKLMNOP");
    EXPECT_EQ(Name(0), "ABCDEFGHIJKLMNO");
    EXPECT_EQ(g_highScores[0].nScore, 1500);
    const auto file = CScratchFolder::Read("data/hi.sav");
    ASSERT_EQ(file.size(), 576u);
    EXPECT_EQ(std::string(file.begin() + 4, file.begin() + 20), std::string("ABCDEFGHIJKLMNO") + '\0');
}

TEST_F(HighScoreDlgTest, AnEmptyNameIsStoredEmptyAndTypedTextAsWindows1252)
{
    CHighScoreEntryDlg dialog(nullptr);
    WhenModal([](QDialog* d) { d->findChild<QPushButton*>("IDOK")->click(); });
    EXPECT_EQ(dialog.DoModal(), QDialog::Accepted);
    EXPECT_EQ(FormatHighScoreLine(0), "001500   ");

    g_nScore = 2000;
    WhenModal([](QDialog* d) {
        NameEdit(d)->insert(QString::fromUtf8("Zoe\u0308 \u20AC\u65E5"));
        QTest::keyClick(NameEdit(d), Qt::Key_Enter);
    });
    dialog.DoModal();
    EXPECT_EQ(Name(0), "Zo\xEB \x80?");
}

TEST_F(HighScoreDlgTest, EscAndTheCloseBoxLeaveTableAndFileUntouched)
{
    struct stat before, after;
    ASSERT_EQ(stat("data/hi.sav", &before), 0);
    CHighScoreEntryDlg dialog(nullptr);
    WhenModal([](QDialog* d) {
        QTest::keyClicks(NameEdit(d), "Quitter");
        QTest::keyClick(NameEdit(d), Qt::Key_Escape);
    });
    EXPECT_EQ(dialog.DoModal(), QDialog::Rejected);
    WhenModal([](QDialog* d) {
        QTest::keyClicks(NameEdit(d), "Closer");
        d->close();
    });
    EXPECT_EQ(dialog.DoModal(), QDialog::Rejected);

    for (int i = 0; i < kHighScores; ++i) EXPECT_EQ(Name(i), "Zandi");
    ASSERT_EQ(stat("data/hi.sav", &after), 0);
    EXPECT_EQ(after.st_ino, before.st_ino);  // a save would have put a new file in place
    EXPECT_EQ(after.st_mtim.tv_nsec, before.st_mtim.tv_nsec);
}

TEST_F(HighScoreDlgTest, OkWithNoLowerEntryStillRewritesTheFile)
{
    FillDescending();
    g_nScore = 100;
    CHighScoreEntryDlg dialog(nullptr);
    WhenModal([](QDialog* d) {
        QTest::keyClicks(NameEdit(d), "Too low");
        QTest::keyClick(NameEdit(d), Qt::Key_Return);
    });
    dialog.DoModal();
    EXPECT_EQ(Name(15), "E15");
    std::memset(g_highScores, 0, sizeof g_highScores);
    LoadHighScoresFrom(kHighScoreFile);
    EXPECT_EQ(Name(0), "E0");
    EXPECT_EQ(g_highScores[15].nScore, 100);
}

// The lines the table dialog shows, read while it is open; it is then closed with OK.
QStringList TableLines(QWidget* owner, QPoint* topLeft = nullptr)
{
    QStringList lines;
    WhenModal([&lines, topLeft](QDialog* d) {
        auto* const list = d->findChild<QListWidget*>("IDC_SCORELIST");
        EXPECT_EQ(d->windowTitle(), "High Score Table");
        EXPECT_EQ(list->selectionMode(), QAbstractItemView::NoSelection);
        EXPECT_FALSE(list->isSortingEnabled());
        for (int i = 0; i < list->count(); ++i) lines << list->item(i)->text();
        if (topLeft != nullptr) *topLeft = d->frameGeometry().topLeft();
        QTest::keyClick(d->findChild<QPushButton*>("IDOK"), Qt::Key_Return);
    });
    CHighScoreTableDlg(owner).DoModal();
    return lines;
}

TEST_F(HighScoreDlgTest, TheTableShowsSixteenLinesInOrderWithLongScoresWhole)
{
    EXPECT_EQ(TableLines(nullptr), QStringList(16, "000000   Zandi"));

    FillDescending();
    InsertHighScore(1234567, "Ren\xE9\x80");
    const QStringList lines = TableLines(nullptr);
    ASSERT_EQ(lines.size(), 16);
    EXPECT_EQ(lines[0], QString::fromUtf8("1234567   Ren\u00E9\u20AC"));
    for (int i = 1; i < 16; ++i) EXPECT_EQ(lines[i], QString("%1   E%2").arg(1700 - 100 * i, 6, 10, QChar('0')).arg(i - 1)) << i;
}

TEST_F(HighScoreDlgTest, EntryOpensCentredAndTableAtTheTopLeftOfTheGameArea)
{
    QMainWindow frame;
    frame.setCentralWidget(new QWidget);
    frame.setGeometry(200, 150, 640, 480);
    frame.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&frame));

    QPoint topLeft;
    TableLines(&frame, &topLeft);
    EXPECT_EQ(topLeft, frame.centralWidget()->mapToGlobal(QPoint(0, 0)));

    CHighScoreEntryDlg entry(&frame);
    QPoint offset, slack;
    WhenModal([&](QDialog* d) {
        offset = d->frameGeometry().center() - frame.frameGeometry().center();
        // It is centred before it has a frame of its own to measure.
        slack = d->geometry().topLeft() - d->frameGeometry().topLeft() + QPoint(1, 1);
        d->reject();
    });
    entry.DoModal();
    EXPECT_LE(std::abs(offset.x()), slack.x());
    EXPECT_LE(std::abs(offset.y()), slack.y());
}

}  // namespace
