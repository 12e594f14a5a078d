// One QApplication for the whole test binary, made by whichever suite needs it first.
#pragma once

#include <QApplication>

namespace qt_test {

inline QApplication& App() {
    if (auto* app = qobject_cast<QApplication*>(QCoreApplication::instance())) return *app;
    static int argc = 1;
    static char name[] = "qt_tests";
    static char* argv[] = {name, nullptr};
    static QApplication* app = new QApplication(argc, argv);
    return *app;
}

}  // namespace qt_test
