// Process entry: starts Qt, installs the Qt backend and hands over to the game's WinMain.
#include <QApplication>
#include <QFont>
#include <QGuiApplication>

#include <cstdio>
#include <cstdlib>

#include "../audio/audio.h"
#include "main_window_widget.h"
#include "qt_backend.h"
#include "windows.h"

int main(int argc, char** argv) {
    // Whole device pixels per logical pixel, so the game's pixels are never split or blurred.
    QGuiApplication::setHighDpiScaleFactorRoundingPolicy(
        Qt::HighDpiScaleFactorRoundingPolicy::Floor);
    QApplication app(argc, argv);
    // Lets the desktop match the window to its entry and icon (Wayland goes by this id).
    QGuiApplication::setDesktopFileName(QStringLiteral("io.github.zum32.Zum32"));
    // The dialogs ask for the Windows Japanese fonts; fontconfig knows no alias for them.
    // UTF-16 literals, since narrow ones may be compiled to Shift-JIS.
    QFont::insertSubstitutions(QStringLiteral(u"ＭＳ Ｐゴシック"), {QStringLiteral(u"IPAPGothic")});
    QFont::insertSubstitutions(QStringLiteral(u"MS PGothic"), {QStringLiteral(u"IPAPGothic")});
    QFont::insertSubstitutions(QStringLiteral(u"ＭＳ ゴシック"), {QStringLiteral(u"IPAGothic")});
    QFont::insertSubstitutions(QStringLiteral(u"MS Gothic"), {QStringLiteral(u"IPAGothic")});

    platform::qt::QtBackend backend;
    platform::SetBackend(&backend);
    // Sound starts lazily with the first cue.
    const int code =
        WinMain(GetModuleHandleA(nullptr), nullptr, const_cast<char*>(""), SW_SHOWNORMAL);
    platform::SetBackend(nullptr);
    // Qt 6.4's Wayland client may wait for ever on its own event thread while it is torn down
    // (QWaylandDisplay's destructor), most often on a loaded machine: the game has ended and
    // written all it keeps, so there the process ends without that teardown.
    if (platform::qt::OnWayland()) {
        platform::ShutdownAudio();
        std::fflush(nullptr);
        std::_Exit(code);
    }
    return code;
}
