#pragma once
// The game's icon, compiled into the program (app/vantor.qrc, drawn by tools/make_art):
// the green outline of an upward-pointing arrowhead on black, in 16, 32, 48, 64 and 128
// pixels. Window thread only, once the QApplication exists.
#include <QIcon>
#include <QPixmap>

// Every size, for the frame: frame->setWindowIcon(LoadGameIcon()).
QIcon LoadGameIcon();

// The 32 x 32 picture the about box shows.
QPixmap LoadGameIconPixmap();
