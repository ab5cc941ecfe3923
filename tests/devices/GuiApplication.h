#pragma once
// device_tests runs under gtest_main, so the QGuiApplication that fonts need is made on
// first use and kept for the whole run; any test file may call this. It is never deleted:
// as a static it was destroyed after Qt's own statics and crashed the process at exit.
#include <QGuiApplication>

inline void EnsureGuiApplication()
{
    if (QCoreApplication::instance() != nullptr) return;
    static int argc = 1;
    static char name[] = "device_tests";
    static char* argv[] = {name, nullptr};
    new QGuiApplication(argc, argv);
}
