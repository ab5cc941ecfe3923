#include "app/HighScoreTableDlg.h"

#include <QListWidget>
#include <QMainWindow>
#include <QPushButton>

#include "app/DialogUnits.h"
#include "game/Cp1252.h"
#include "game/HighScores.h"

namespace {

QPoint GameAreaTopLeft(const QWidget* owner)
{
    const QWidget* const frame = owner->window();
    const auto* const mainWindow = qobject_cast<const QMainWindow*>(frame);
    if (mainWindow != nullptr && mainWindow->centralWidget() != nullptr)
        return mainWindow->centralWidget()->mapToGlobal(QPoint(0, 0));
    return frame->mapToGlobal(QPoint(0, 0));
}

}  // namespace

CHighScoreTableDlg::CHighScoreTableDlg(QWidget* owner) : QDialog(owner)
{
    const CDialogUnits units(this, QStringLiteral("High Score Table"), 155, 117);

    // Created in the template's order, which is also the tab order: OK has the focus.
    QPushButton* const ok = units.AddOkButton(64, 97, 26, 14);

    m_lbScores = new QListWidget(this);
    m_lbScores->setObjectName(QStringLiteral("IDC_SCORELIST"));
    m_lbScores->setSortingEnabled(false);
    m_lbScores->setSelectionMode(QAbstractItemView::NoSelection);
    m_lbScores->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    m_lbScores->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    m_lbScores->setUniformItemSizes(true);
    units.Place(m_lbScores, 7, 7, 141, 82);
    ok->setFocus();
}

int CHighScoreTableDlg::DoModal()
{
    OnInitDialog();
    return exec();
}

void CHighScoreTableDlg::OnInitDialog()
{
    FillList();
    // Placed explicitly, which also keeps Qt from centring it over the owner.
    if (parentWidget() != nullptr) move(GameAreaTopLeft(parentWidget()));
}

void CHighScoreTableDlg::FillList()
{
    m_lbScores->clear();
    for (int i = 0; i < kHighScores; ++i)
        m_lbScores->addItem(QString::fromStdString(Cp1252ToUtf8(FormatHighScoreLine(i))));
}
