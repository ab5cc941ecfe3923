#include "app/HighScoreEntryDlg.h"

#include <algorithm>

#include <QLabel>
#include <QLineEdit>

#include "app/DialogUnits.h"
#include "game/Cp1252.h"
#include "game/Globals.h"
#include "game/PendingHighScore.h"

namespace {
// One more than the table keeps: a 16th character can be typed but is not stored.
constexpr int kNameLimit = 16;
}  // namespace

CHighScoreEntryDlg::CHighScoreEntryDlg(QWidget* owner) : QDialog(owner)
{
    const CDialogUnits units(this, QStringLiteral("High Score Entry"), 187, 61);

    // Created in the template's order, which is also the tab order.
    units.AddOkButton(81, 41, 25, 14);

    m_edName = new QLineEdit(this);
    m_edName->setObjectName(QStringLiteral("IDC_NAME"));
    m_edName->setMaxLength(kNameLimit);
    connect(m_edName, &QLineEdit::textChanged, this,
            [this] { g_pendingHighScore.Type(TypedName().c_str()); });
    units.Place(m_edName, 10, 22, 166, 12);

    auto* const prompt = new QLabel(QStringLiteral("Please enter your Name:"), this);
    QRect area = units.ToPixels(54, 7, 79, 8);
    // A substitute font may run wider than the template allowed; grow about the centre.
    area.setWidth(std::max(area.width(), prompt->sizeHint().width()));
    area.moveCenter(QPoint(units.ToPixels(54, 7, 79, 8).center().x(), area.center().y()));
    prompt->setGeometry(area);
}

int CHighScoreEntryDlg::DoModal()
{
    OnInitDialog();
    return exec();
}

void CHighScoreEntryDlg::OnInitDialog()
{
    g_pendingHighScore.Open(g_nScore.load());
    m_edName->clear();
    m_edName->setFocus();
    // Centred by hand rather than by Qt's guess at window frames, which is off by a
    // title bar wherever there is no window manager to ask.
    if (parentWidget() != nullptr)
        move(parentWidget()->window()->frameGeometry().center() - QPoint(width() / 2, height() / 2));
}

std::string CHighScoreEntryDlg::TypedName() const
{
    // Composed first, so that a letter typed with a separate accent is one character
    // and finds its Windows-1252 byte instead of becoming a letter and a '?'.
    const QString typed = m_edName->text().normalized(QString::NormalizationForm_C);
    return Utf8ToCp1252(typed.toStdString());
}

void CHighScoreEntryDlg::OnOK()
{
    g_pendingHighScore.Type(TypedName().c_str());
    // The game may have ended under the dialog and confirmed the entry already.
    g_pendingHighScore.Confirm();
    QDialog::accept();
}

void CHighScoreEntryDlg::reject()
{
    g_pendingHighScore.Cancel();
    QDialog::reject();
}
