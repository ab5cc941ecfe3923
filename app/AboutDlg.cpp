#include "app/AboutDlg.h"

#include <algorithm>
#include <string>
#include <utility>

#include <QLabel>
#include <QPushButton>

#include "app/DialogUnits.h"
#include "app/Icons.h"
#include "app/LinkOpener.h"

namespace {

// The icon control takes the icon's own size, whatever its template rectangle says.
constexpr int kIconPixels = 32;

QLabel* AddText(QDialog* dialog, const CDialogUnits& units, const QString& text, int x, int y,
                int width, int height)
{
    auto* const label = new QLabel(text, dialog);
    QRect area = units.ToPixels(x, y, width, height);
    // A substitute font may run wider than the template allowed; the text grows rightward.
    area.setWidth(std::max(area.width(), label->sizeHint().width()));
    label->setGeometry(area);
    return label;
}

}  // namespace

CAboutDlg::CAboutDlg(QWidget* owner) : QDialog(owner), m_openLink(OpenLink)
{
    const CDialogUnits units(this, QStringLiteral("About"), 167, 139);

    // Created in the template's order, which is also the tab order: OK has the focus.
    auto* const ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setObjectName(QStringLiteral("IDOK"));
    ok->setDefault(true);
    units.Place(ok, 70, 119, 27, 14);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);

    AddText(this, units, QStringLiteral("written by Marvesto"), 35, 57, 93, 8);
    AddText(this, units, QStringLiteral("...keep on blasting !!!"), 50, 99, 65, 8);
    AddText(this, units, QStringLiteral("e-mail:"), 22, 72, 23, 8);

    auto* const icon = new QLabel(this);
    icon->setPixmap(LoadGameIconPixmap());
    icon->setGeometry(
        QRect(units.ToPixels(74, 25, 20, 20).topLeft(), QSize(kIconPixels, kIconPixels)));

    m_btnEmail = new QPushButton(QString::fromLatin1(kAuthorEmail), this);
    m_btnEmail->setObjectName(QStringLiteral("IDC_EMAIL"));
    units.Place(m_btnEmail, 46, 71, 99, 11);
    connect(m_btnEmail, &QPushButton::clicked, this, &CAboutDlg::OnEmail);

    // The name and version head the box, above the icon.
    auto* const name = AddText(this, units, QStringLiteral("Vantor"), 0, 5, 167, 9);
    QFont bold = name->font();
    bold.setBold(true);
    name->setFont(bold);
    name->setAlignment(Qt::AlignHCenter);
    AddText(this, units, QStringLiteral("Version 1.0"), 0, 14, 167, 9)
        ->setAlignment(Qt::AlignHCenter);
    ok->setFocus();
}

int CAboutDlg::DoModal()
{
    OnInitDialog();
    return exec();
}

void CAboutDlg::SetLinkOpener(LinkOpenerFn openLink)
{
    m_openLink = std::move(openLink);
}

void CAboutDlg::OnInitDialog()
{
    // Centred by hand rather than by Qt's guess at window frames, which is off by a title
    // bar wherever there is no window manager to ask.
    if (parentWidget() != nullptr)
        move(parentWidget()->window()->frameGeometry().center() - QPoint(width() / 2, height() / 2));
}

void CAboutDlg::OnEmail()
{
    const std::string link = std::string("mailto:") + kAuthorEmail;
    m_openLink(link.c_str(), SW_SHOW);
}
