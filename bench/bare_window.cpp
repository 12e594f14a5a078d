// The baseline of the idle figures: the least a Qt 6 Widgets program of the game's shape costs (menu bar of two menus, 368 x 368 client painting an 8-bit image).
// --animate changes a 32 x 32 square every 128 ms; --sound opens an SDL audio device as the game's
// cues do (48 kHz, 512-frame buffers) and queues nothing.
#include <QApplication>
#include <QImage>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPaintEvent>
#include <QPainter>
#include <QTimer>
#include <QWidget>

#include <SDL.h>
#include <dlfcn.h>

#include <cstdio>
#include <cstring>

namespace {

constexpr int kSide = 368;
constexpr int kSquare = 32;
constexpr int kSquareX = 168, kSquareY = 200;

// SDL is loaded only for --sound, so that the start-up baseline carries no sound libraries.
bool OpenSoundDevice() {
    void* sdl = dlopen("libSDL2-2.0.so.0", RTLD_NOW | RTLD_LOCAL);
    if (!sdl) return false;
    auto init = reinterpret_cast<int (*)(Uint32)>(dlsym(sdl, "SDL_InitSubSystem"));
    auto open = reinterpret_cast<SDL_AudioDeviceID (*)(const char*, int, const SDL_AudioSpec*,
                                                       SDL_AudioSpec*, int)>(
        dlsym(sdl, "SDL_OpenAudioDevice"));
    auto pause = reinterpret_cast<void (*)(SDL_AudioDeviceID, int)>(dlsym(sdl, "SDL_PauseAudioDevice"));
    auto hint = reinterpret_cast<SDL_bool (*)(const char*, const char*)>(dlsym(sdl, "SDL_SetHint"));
    if (!init || !open || !pause || !hint) return false;
    hint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");  // SIGTERM must still end the program, as the game's
    if (init(SDL_INIT_AUDIO) != 0) return false;
    SDL_AudioSpec want{}, got{};
    want.freq = 48000;
    want.format = AUDIO_S16SYS;
    want.channels = 2;
    want.samples = 512;
    const SDL_AudioDeviceID device = open(nullptr, 0, &want, &got,
                                          SDL_AUDIO_ALLOW_FREQUENCY_CHANGE | SDL_AUDIO_ALLOW_CHANNELS_CHANGE);
    if (device == 0) return false;
    pause(device, 0);
    return true;
}

class IndexedView final : public QWidget {
public:
    IndexedView() : image_(kSide, kSide, QImage::Format_Indexed8) {
        setAttribute(Qt::WA_OpaquePaintEvent);
        setFixedSize(kSide, kSide);
        QVector<QRgb> colours(256);
        for (int i = 0; i < 256; ++i) colours[i] = qRgb(i, 255 - i, (i * 7) & 255);
        image_.setColorTable(colours);
        for (int y = 0; y < kSide; ++y)
            for (int x = 0; x < kSide; ++x) image_.scanLine(y)[x] = static_cast<uchar>((x / 16 + y / 16) & 7);
    }

    // One animation step: the square takes the next of eight colours and only it is repainted.
    void Step() {
        frame_ = (frame_ + 1) & 7;
        for (int y = 0; y < kSquare; ++y)
            std::memset(image_.scanLine(kSquareY + y) + kSquareX, 200 + frame_, kSquare);
        update(kSquareX, kSquareY, kSquare, kSquare);
    }

protected:
    void paintEvent(QPaintEvent* event) override {
        QPainter painter(this);
        for (const QRect& r : event->region()) painter.drawImage(r.topLeft(), image_, r);
    }

private:
    QImage image_;
    int frame_ = 0;
};

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QMainWindow window;
    window.setWindowTitle(QStringLiteral("bare window"));
    window.menuBar()->setNativeMenuBar(false);
    QMenu* game = window.menuBar()->addMenu(QStringLiteral(u"ゲーム(&G)"));
    game->addAction(QStringLiteral(u"スタート(&S)\tCtrl+N"));
    game->addSeparator();
    QAction* quit = game->addAction(QStringLiteral(u"終了(&X)"));
    QObject::connect(quit, &QAction::triggered, &app, &QApplication::quit);
    window.menuBar()->addMenu(QStringLiteral(u"ヘルプ(&H)"))->addAction(QStringLiteral(u"目次(&C)"));
    auto* view = new IndexedView;
    window.setCentralWidget(view);
    window.show();

    QTimer timer;
    timer.setTimerType(Qt::PreciseTimer);  // as the game's timers
    QObject::connect(&timer, &QTimer::timeout, view, &IndexedView::Step);
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--animate") == 0) timer.start(128);
        if (std::strcmp(argv[i], "--sound") == 0 && !OpenSoundDevice()) {
            std::fprintf(stderr, "bare_window: no sound device\n");
            return 1;
        }
    }
    return app.exec();
}
