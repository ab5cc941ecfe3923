#include "platform/qt/QtMessageBox.h"

#include <QMessageBox>
#include <QString>

void ShowMessageBox(QWidget* owner, const char* text, const char* caption)
{
    QMessageBox box(QMessageBox::NoIcon, QString::fromLatin1(caption), QString::fromLatin1(text),
                    QMessageBox::Ok, owner);
    box.exec();
}
