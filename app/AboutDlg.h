#pragma once
// The about box: the game's name and version, the author credit, the icon, and a button
// labelled with the author's e-mail address that starts a new mail to it ("mailto:" and
// the address, through OpenLink). The box stays open after the button, whatever came of
// it; OK or the close box end it.
//
// Window thread only:  CAboutDlg dlg(frame); dlg.DoModal();
// It opens application-modal, centred over its owner; a null owner (tests) centres it on
// the screen.
#include <QDialog>
#include <functional>

class QPushButton;

// The author's address: ours, on a domain reserved for examples, so it reaches nobody.
inline constexpr char kAuthorEmail[] = "marvesto@example.com";

class CAboutDlg : public QDialog {
    Q_OBJECT

public:
    // OpenLink's shape: (url, showCommand) -> result, ignored here.
    using LinkOpenerFn = std::function<int(const char* url, int showCommand)>;

    explicit CAboutDlg(QWidget* owner);

    // Runs the box until it closes; the result may be ignored.
    int DoModal();
    // Replaces OpenLink for the e-mail button, so that a test sees the click without a
    // mail program starting.
    void SetLinkOpener(LinkOpenerFn openLink);

private:
    void OnInitDialog();
    void OnEmail();

    QPushButton* m_btnEmail;  // "IDC_EMAIL"; owned by the dialog
    LinkOpenerFn m_openLink;
};
