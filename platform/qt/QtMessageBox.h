#pragma once
// A modal message box with one OK button; blocks until it is closed. Window thread only.
class QWidget;

void ShowMessageBox(QWidget* owner, const char* text, const char* caption);
