#include <gtest/gtest.h>

#include <atomic>
#include <cstring>
#include <thread>

#include <QAction>
#include <QApplication>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPointer>
#include <QScreen>
#include <QTest>
#include <QTimer>

#include "app/MainFrame.h"
#include "game/Game.h"
#include "game/Globals.h"
#include "game/HighScores.h"
#include "platform/BitmapLoader.h"
#include "platform/DikCodes.h"
#include "platform/PlatformInstance.h"
#include "platform/Surface.h"
#include "platform/desktop/DesktopInputSystem.h"
#include "tests/fakes/ManualTimer.h"
#include "tests/fakes/MeshReset.h"
#include "tests/fakes/ScratchFolder.h"
#include "tests/qt/WhenModal.h"

namespace {

class CSmallPicture final : public IBitmapLoader {
public:
    std::unique_ptr<CSurface> LoadBitmap(const char*) override { return std::make_unique<CSurface>(8, 8); }
};

class MainFrameTest : public ::testing::Test {
protected:
    MainFrameTest()
    {
        instance.pTimer = &timer;
        devices.pBitmapLoader = &picture;
        frame = new CMainFrame(&instance, devices, &keys);
        frame->show();
        EXPECT_TRUE(frame->StartGame());
    }
    ~MainFrameTest() override
    {
        if (frame) frame->close();
        QApplication::processEvents();
        ForgetMeshTemplates();
    }
    QList<QAction*> Commands(int menu)
    {
        return frame->menuBar()->actions().at(menu)->menu()->actions();
    }

    CScratchFolder folder;  // the controller makes data/hi.sav here
    CManualTimer timer;
    CSmallPicture picture;
    CDesktopInputSystem keys{false};  // the frame's key events; the game reads no keyboard
    PlatformInstance instance;
    DisplayDevices devices;
    QPointer<CMainFrame> frame;
};

}  // namespace

TEST_F(MainFrameTest, AFixedWindowTitledVantorWithTheGameMenu)
{
    EXPECT_EQ(frame->windowTitle(), QStringLiteral("Vantor"));
    EXPECT_EQ(frame->frameGeometry().size(), QSize(640, 480));
    EXPECT_EQ(frame->minimumSize(), frame->maximumSize());
    EXPECT_FALSE(frame->windowFlags() & Qt::WindowMaximizeButtonHint);
    const QList<QAction*> menus = frame->menuBar()->actions();
    ASSERT_EQ(menus.size(), 2);
    EXPECT_EQ(menus[0]->text(), QStringLiteral("&Game"));
    EXPECT_EQ(menus[1]->text(), QStringLiteral("&?"));
    const QList<QAction*> game = Commands(0);
    ASSERT_EQ(game.size(), 3);
    EXPECT_EQ(game[0]->text(), QStringLiteral("High &Score Table"));
    EXPECT_EQ(game[0]->data().toInt(), 32771);
    EXPECT_TRUE(game[1]->isSeparator());
    EXPECT_EQ(game[2]->text(), QStringLiteral("E&xit"));
    EXPECT_EQ(game[2]->data().toInt(), 57665);
    ASSERT_EQ(Commands(1).size(), 1);
    EXPECT_EQ(Commands(1)[0]->text(), QStringLiteral("&About"));
    EXPECT_EQ(Commands(1)[0]->data().toInt(), 57664);
}

TEST_F(MainFrameTest, TheThirteenAcceleratorsChangeNothing)
{
    const QList<QAction*> accelerators = frame->findChildren<QAction*>(QStringLiteral("accelerator"));
    ASSERT_EQ(accelerators.size(), 13);
    const int32_t state = frame->m_pGame->m_nState;
    for (QAction* accelerator : accelerators) {
        EXPECT_FALSE(accelerator->shortcut().isEmpty());
        accelerator->trigger();
    }
    QApplication::processEvents();
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
    EXPECT_TRUE(frame->isVisible());
    EXPECT_EQ(frame->m_pGame->m_nState, state);
}

TEST_F(MainFrameTest, ExitClosesThroughTheTeardown)
{
    Commands(0)[2]->trigger();
    QApplication::processEvents();
    EXPECT_TRUE(frame.isNull() || !frame->isVisible());
    EXPECT_FALSE(timer.IsRunning());
}

TEST_F(MainFrameTest, ClosingReleasesATickWaitingForTheEndOfRunAndOpensNoEntryAfterwards)
{
    g_nScore = 700;
    std::atomic<bool> returned{false};
    std::thread tick([&] {
        frame->SendMessage(WM_USER);  // handled, if ever, only after the close
        returned = true;
    });
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    EXPECT_FALSE(returned);
    frame->close();
    tick.join();
    EXPECT_TRUE(returned);
    bool entryOpened = false;
    QTimer::singleShot(100, [&] {
        if (auto* const dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget())) {
            entryOpened = true;
            dialog->reject();
        }
    });
    QTest::qWait(200);
    EXPECT_FALSE(entryOpened) << "a name entry opened over a game that had shut down";
}

TEST_F(MainFrameTest, AnOpenMenuClosesBeforeTheNameEntryAndNoDialogOpensOverIt)
{
    g_nScore = 700;
    QMenu* const game = frame->menuBar()->actions().at(0)->menu();
    game->popup(frame->mapToGlobal(QPoint(0, 0)));
    QApplication::processEvents();
    ASSERT_EQ(QApplication::activePopupWidget(), game);
    bool menuOpen = true, secondOpened = false;
    WhenModal([&](QDialog* entry) {
        menuOpen = QApplication::activePopupWidget() != nullptr;
        QTimer::singleShot(100, [&, entry] {
            secondOpened = QApplication::activeModalWidget() != entry;
            if (secondOpened) qobject_cast<QDialog*>(QApplication::activeModalWidget())->reject();
        });
        frame->OnHighScoreTable();
        QTest::keyClicks(entry->findChild<QLineEdit*>(QStringLiteral("IDC_NAME")), QStringLiteral("Kim"));
        QTest::qWait(150);
        entry->accept();
    });
    frame->CheckHighScore();
    EXPECT_FALSE(menuOpen);
    EXPECT_FALSE(secondOpened);
    EXPECT_STREQ(g_highScores[0].szName, "Kim");
}

TEST_F(MainFrameTest, AMessageBoxStandsCentredInFrontOfAFrameThatActivatesItself)
{
    QWidget* front = nullptr;
    QPoint offset;
    WhenModal([&](QDialog* box) {
        // Shown again, the frame asks to be activated, as it does once at start-up.
        frame->hide();
        frame->show();
        QTest::qWait(50);
        front = QApplication::activeWindow();
        offset = box->frameGeometry().center() - frame->frameGeometry().center();
        box->accept();
    });
    frame->MessageBox("Couldn't open bitmap file", "ERROR");
    if (front == nullptr) GTEST_SKIP() << "this platform does not activate windows";
    EXPECT_NE(front, frame.data()) << "the frame went in front of its open message box";
    EXPECT_LE(offset.manhattanLength(), 2);
}

TEST_F(MainFrameTest, ClosingDuringTheNameEntryKeepsTheScore)
{
    g_nScore = 700;
    WhenModal([this](QDialog* dialog) {
        QTest::keyClicks(dialog->findChild<QLineEdit*>(QStringLiteral("IDC_NAME")), QStringLiteral("Kim"));
        frame->CloseFromOutside();
    });
    frame->CheckHighScore();
    QApplication::processEvents();
    EXPECT_EQ(g_highScores[0].nScore, 700);
    EXPECT_STREQ(g_highScores[0].szName, "Kim");
    const std::vector<unsigned char> file = CScratchFolder::Read("data/hi.sav");
    ASSERT_EQ(file.size(), 576u);
    EXPECT_EQ(std::memcmp(&file[4], "Kim", 4), 0);
}

TEST_F(MainFrameTest, AnExitOnAnotherThreadKeepsTheNameTypedSoFarWithoutTheDialog)
{
    g_nScore = 900;
    WhenModal([this](QDialog* dialog) {
        QTest::keyClicks(dialog->findChild<QLineEdit*>(QStringLiteral("IDC_NAME")), QStringLiteral("Lee"));
        // As when Qt's own connection thread sees the display go and calls exit().
        std::thread exiting(&CMainFrame::HaltOnExit);
        exiting.join();
        EXPECT_EQ(g_highScores[0].nScore, 900);
        EXPECT_STREQ(g_highScores[0].szName, "Lee");
        EXPECT_EQ(frame->m_pGame->m_uTimerID, 0u) << "the timer still runs";
        dialog->reject();
    });
    frame->CheckHighScore();
    EXPECT_STREQ(g_highScores[0].szName, "Lee") << "the cancel after the exit took the entry back";
    const std::vector<unsigned char> file = CScratchFolder::Read("data/hi.sav");
    ASSERT_EQ(file.size(), 576u);
    EXPECT_EQ(std::memcmp(&file[4], "Lee", 4), 0);
}

TEST_F(MainFrameTest, AKeyLetGoWhileTheMenuHadTheKeyboardReadsAsUp)
{
    IKeyboardDevice* keyboard = nullptr;
    ASSERT_EQ(keys.CreateKeyboard(&keyboard), DI_OK);
    ASSERT_EQ(keyboard->Acquire(), DI_OK);
    uint8_t state[DI_KEYBOARD_STATE_SIZE];
    QTest::keyPress(frame, Qt::Key_Left);
    keyboard->GetDeviceState(sizeof state, state);
    ASSERT_EQ(state[DIK_LEFT], 0x80);
    QMenu* const game = frame->menuBar()->actions().at(0)->menu();
    game->popup(frame->mapToGlobal(QPoint(10, 10)));
    QTest::keyRelease(game, Qt::Key_Left);
    game->close();
    keyboard->GetDeviceState(sizeof state, state);
    EXPECT_EQ(state[DIK_LEFT], 0) << "the release the menu took was never seen";
}

TEST_F(MainFrameTest, TheTableDialogPausesTheRunAndClosingItResumes)
{
    frame->activateWindow();
    QApplication::processEvents();
    if (!frame->isActiveWindow()) GTEST_SKIP() << "this platform does not activate windows";
    ASSERT_TRUE(frame->m_pGame->m_bActive);
    bool pausedWhileOpen = false;
    WhenModal([&](QDialog* dialog) {
        // The deactivation is an event of its own: under load it can come after the poll.
        pausedWhileOpen = QTest::qWaitFor([&] { return !frame->m_pGame->m_bActive; }, 2000);
        dialog->accept();
    });
    frame->OnHighScoreTable();
    EXPECT_TRUE(pausedWhileOpen);
    EXPECT_TRUE(QTest::qWaitFor([&] { return frame->m_pGame->m_bActive.load(); }, 2000));
}

TEST_F(MainFrameTest, PPausesOnlyARunAndF11GivesBackTheSameWindow)
{
    QTest::keyClick(frame, Qt::Key_P);
    EXPECT_FALSE(frame->m_pGame->IsPaused()) << "the title does not pause";
    frame->m_pGame->EnterPlay();
    QTest::keyClick(frame, Qt::Key_P);
    EXPECT_TRUE(frame->m_pGame->IsPaused());
    QTest::keyClick(frame, Qt::Key_P);
    EXPECT_FALSE(frame->m_pGame->IsPaused());

    const QRect windowed = frame->frameGeometry();
    QTest::keyClick(frame, Qt::Key_F11);
    QApplication::processEvents();
    EXPECT_FALSE(frame->menuBar()->isVisible());
    EXPECT_EQ(frame->geometry(), frame->screen()->geometry());
    QTest::keyClick(frame, Qt::Key_F11);
    QApplication::processEvents();
    EXPECT_TRUE(frame->menuBar()->isVisible());
    EXPECT_EQ(frame->frameGeometry(), windowed);
    EXPECT_EQ(frame->minimumSize(), frame->maximumSize());

    // In full screen Alt+G still opens the Game menu, and Escape leaves too.
    QTest::keyClick(frame, Qt::Key_F11);
    QApplication::processEvents();
    QTest::keyClick(frame, Qt::Key_G, Qt::AltModifier);
    QWidget* const popup = QApplication::activePopupWidget();
    EXPECT_EQ(popup, frame->menuBar()->actions().at(0)->menu()) << "no Game menu over the picture";
    if (popup != nullptr) popup->close();
    QTest::keyClick(frame, Qt::Key_Escape);
    QApplication::processEvents();
    EXPECT_TRUE(frame->menuBar()->isVisible());
    EXPECT_EQ(frame->frameGeometry(), windowed);
}
