#pragma once
// A modal message box with one OK button; blocks until it is closed. It stands centred over
// its owner and above it (a null owner: wherever Qt puts it). Window thread only.
class QWidget;

void ShowMessageBox(QWidget* owner, const char* text, const char* caption);
