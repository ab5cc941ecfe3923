#include "platform/qt/QtMessageBox.h"

#include <QMessageBox>
#include <QRect>
#include <QString>
#include <QTimer>

void ShowMessageBox(QWidget* owner, const char* text, const char* caption)
{
    QMessageBox box(QMessageBox::NoIcon, QString::fromLatin1(caption), QString::fromLatin1(text),
                    QMessageBox::Ok, owner);
    // Placed once shown, when its size is final: Qt's own placement guesses at window
    // frames, and with no window manager nothing else keeps it above its owner either.
    QTimer::singleShot(0, &box, [&box, owner] {
        if (owner != nullptr) {
            QRect placed = box.frameGeometry();
            placed.moveCenter(owner->window()->frameGeometry().center());
            box.move(placed.topLeft());
        }
        box.raise();
        box.activateWindow();
    });
    box.exec();
}
