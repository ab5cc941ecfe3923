#pragma once
// The name entry after a run whose score beats an entry of the high-score table.
//
// OK, or Enter anywhere in it, puts g_nScore into the table with the typed name (its
// first 15 characters, in Windows-1252, '?' for what that cannot hold) and rewrites the
// score file; the file is rewritten even when no entry was lower and nothing went in.
// Esc and the close box cancel: the table and the file stay as they were.
//
// Window thread only:  CHighScoreEntryDlg(frame).DoModal();
// It opens application-modal, centred over its owner and above it; a null owner (tests)
// centres it on the screen. The controller's timer thread is blocked meanwhile, so
// g_nScore holds still.
#include <QDialog>

class QLineEdit;

class CHighScoreEntryDlg : public QDialog {
    Q_OBJECT

public:
    explicit CHighScoreEntryDlg(QWidget* owner);

    // Runs the dialog until it closes: QDialog::Accepted after OK, QDialog::Rejected
    // after a cancel. The caller may ignore it.
    int DoModal();
    // Every way of confirming arrives here.
    void accept() override { OnOK(); }

private:
    void OnInitDialog();
    void OnOK();

    QLineEdit* m_edName;  // "IDC_NAME"; owned by the dialog
};
