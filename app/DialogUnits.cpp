#include "app/DialogUnits.h"

#include <QDialog>
#include <QFont>
#include <QFontMetrics>
#include <QPushButton>
#include <QWidget>

CDialogUnits::CDialogUnits(QDialog* dialog, const QString& caption, int width, int height)
    : m_dialog(dialog)
{
    QFont font(QStringLiteral("Arial"), 9);
    font.setStyleHint(QFont::SansSerif);
    dialog->setFont(font);
    dialog->setWindowTitle(caption);
    dialog->setWindowFlags(Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                           Qt::WindowCloseButtonHint);
    dialog->setWindowModality(Qt::ApplicationModal);

    // Windows' measure: the alphabet's mean width, rounded, and the line height.
    const QFontMetrics metrics(font);
    const int alphabet = metrics.horizontalAdvance(
        QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"));
    m_baseX = (alphabet / 26 + 1) / 2;
    m_baseY = metrics.height();
    dialog->setFixedSize(ToPixels(0, 0, width, height).size());
}

QRect CDialogUnits::ToPixels(int x, int y, int width, int height) const
{
    // Both edges are mapped, rounding, as Windows does, so adjacent controls keep
    // their shared edges.
    const auto across = [this](int units) { return (units * m_baseX + 2) / 4; };
    const auto down = [this](int units) { return (units * m_baseY + 4) / 8; };
    return QRect(QPoint(across(x), down(y)), QPoint(across(x + width) - 1, down(y + height) - 1));
}

void CDialogUnits::Place(QWidget* control, int x, int y, int width, int height) const
{
    control->setGeometry(ToPixels(x, y, width, height));
}

QPushButton* CDialogUnits::AddOkButton(int x, int y, int width, int height) const
{
    auto* const ok = new QPushButton(QStringLiteral("OK"), m_dialog);
    ok->setObjectName(QStringLiteral("IDOK"));
    ok->setDefault(true);
    Place(ok, x, y, width, height);
    QObject::connect(ok, &QPushButton::clicked, m_dialog, &QDialog::accept);
    return ok;
}
