#pragma once
// The name entry after a run whose score beats an entry of the high-score table.
//
// OK, or Enter anywhere in it, puts g_nScore into the table with the typed name (its
// first 15 characters, in Windows-1252, '?' for what that cannot hold) and rewrites the
// score file; the file is rewritten even when no entry was lower and nothing went in.
// Esc and the close box cancel: the table and the file stay as they were.
// While it is open, g_pendingHighScore holds the score and the name as typed so far, so
// that a game ending under it keeps the entry (see PendingHighScore.h).
//
// Window thread only:  CHighScoreEntryDlg(frame).DoModal();
// It opens application-modal, centred over its owner and above it; a null owner (tests)
// centres it on the screen. The controller's timer thread is blocked meanwhile, so
// g_nScore holds still.
#include <QDialog>
#include <string>

class QLineEdit;

class CHighScoreEntryDlg : public QDialog {
    Q_OBJECT

public:
    explicit CHighScoreEntryDlg(QWidget* owner);

    // Runs the dialog until it closes: QDialog::Accepted after OK, QDialog::Rejected
    // after a cancel. The caller may ignore it.
    int DoModal();
    // Every way of confirming arrives here, and every way of cancelling at reject.
    void accept() override { OnOK(); }
    void reject() override;

private:
    void OnInitDialog();
    void OnOK();
    std::string TypedName() const;  // Windows-1252

    QLineEdit* m_edName;  // "IDC_NAME"; owned by the dialog
};
