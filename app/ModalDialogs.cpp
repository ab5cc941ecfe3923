#include "app/ModalDialogs.h"

#include <QApplication>
#include <QDialog>
#include <QEventLoop>
#include <utility>

CModalDialogs::CModalDialogs(QWidget* owner, std::function<bool()> closing, std::function<bool()> destroyed)
    : m_pOwner(owner), m_closing(std::move(closing)), m_destroyed(std::move(destroyed))
{
}

bool CModalDialogs::ReadyForOne() const
{
    // A menu left open would stay live over the dialog and take its keys.
    while (QWidget* const popup = QApplication::activePopupWidget()) {
        popup->close();
        if (QApplication::activePopupWidget() == popup) break;
    }
    return QApplication::activeModalWidget() == nullptr && !m_closing() && !m_destroyed();
}

void CModalDialogs::WaitForOpen() const
{
    // The table or the about box, opened as the run ended: the entry follows it rather
    // than opening on top, and the tick keeps waiting, so the score holds still.
    while (auto* const open = qobject_cast<QDialog*>(QApplication::activeModalWidget())) {
        if (m_closing()) return;
        QEventLoop loop;
        QObject::connect(open, &QDialog::finished, &loop, &QEventLoop::quit);
        QObject::connect(open, &QObject::destroyed, &loop, &QEventLoop::quit);
        loop.exec();
    }
}

void CModalDialogs::EndOpen() const
{
    // A name entry among them was confirmed when the game shut down, and its cancel now
    // changes nothing.
    while (auto* const dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget())) {
        dialog->reject();
        if (QApplication::activeModalWidget() == dialog) break;
    }
}

void CModalDialogs::Reactivate() const
{
    if (m_destroyed() || m_closing()) return;
    // A dialog of ours still open keeps the front: with no window manager, the frame raised
    // over it would hide it for good.
    QWidget* const modal = QApplication::activeModalWidget();
    QWidget* const front = modal != nullptr ? modal : m_pOwner;
    front->activateWindow();
    front->raise();
}
