#pragma once
// The high-score table: the 16 entries of g_highScores in table order, best first, one
// line each ("%06d", three spaces, the name), as held in memory; the file is not read.
// The list is not sorted and nothing in it can be selected.
//
// Window thread only:  CHighScoreTableDlg(frame).DoModal();
// It opens application-modal with its top-left corner on the top-left corner of the
// owner's game area (a QMainWindow's central widget, else the owner's client area); a
// null owner (tests) leaves it centred on the screen.
#include <QDialog>

class QListWidget;

class CHighScoreTableDlg : public QDialog {
    Q_OBJECT

public:
    explicit CHighScoreTableDlg(QWidget* owner);

    // Runs the dialog until it closes; the result (QDialog::Accepted or Rejected) may
    // be ignored.
    int DoModal();
    // Refills the list from the table.
    void FillList();

private:
    void OnInitDialog();

    QListWidget* m_lbScores;  // "IDC_SCORELIST"; owned by the dialog
};
