#pragma once
// The game's dialog templates measure in dialog units, which follow the dialog's font:
// a horizontal unit is a quarter of its average character width, a vertical unit an
// eighth of its height. This sets a dialog up as such a template (font, caption, style,
// fixed size) and converts the template's rectangles to pixels in that same font, so
// the layout keeps its proportions whatever font stands in for Arial.
#include <QRect>
#include <QString>

class QDialog;
class QPushButton;
class QWidget;

class CDialogUnits {
public:
    // Gives dialog the 9-point template font (Arial, or what the system substitutes for
    // it), the caption, a small-caption tool-window frame with a close box and no other
    // buttons, and a fixed client size of width x height units.
    CDialogUnits(QDialog* dialog, const QString& caption, int width, int height);

    QRect ToPixels(int x, int y, int width, int height) const;
    void Place(QWidget* control, int x, int y, int width, int height) const;
    // The template's "OK" push button: object name "IDOK", the default button, and a
    // click runs the dialog's (virtual) accept. Owned by the dialog.
    QPushButton* AddOkButton(int x, int y, int width, int height) const;

private:
    QDialog* m_dialog;
    int m_baseX;  // pixels per four horizontal units
    int m_baseY;  // pixels per eight vertical units
};
