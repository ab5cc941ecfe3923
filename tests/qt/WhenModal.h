#pragma once
// Drives modal dialogs from inside their own modal loops, for the shell's tests.
#include <gtest/gtest.h>

#include <functional>
#include <memory>

#include <QApplication>
#include <QDialog>
#include <QTimer>

// Runs action on the dialog once it is the active modal widget, from inside its modal
// loop. A dialog the action leaves open is cancelled after a while, and the test fails.
inline void WhenModal(std::function<void(QDialog*)> action)
{
    auto* const poll = new QTimer;
    auto tries = std::make_shared<int>(0);
    QObject::connect(poll, &QTimer::timeout, [poll, tries, action] {
        auto* const dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        if (dialog == nullptr && ++*tries < 500) return;
        poll->deleteLater();
        poll->stop();
        if (dialog == nullptr) {
            ADD_FAILURE() << "no modal dialog opened";
            return;
        }
        action(dialog);
        QTimer::singleShot(3000, dialog, [dialog] {
            ADD_FAILURE() << "the dialog stayed open";
            dialog->reject();
        });
    });
    poll->start(10);
}

