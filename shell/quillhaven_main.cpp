#include "quillhaven_main.h"

#include <QApplication>
#include <QMenu>
#include <QTimer>
#include <cstdio>

#include "app_delegate.h"
#include "app_paths.h"
#include "desktop_backend.h"
#include "single_instance.h"

namespace quillhaven::QuillhavenMain {
namespace {

// The app prints nothing: Qt's own warnings (a missing tray, a missing theme) are dropped.
// A fatal message still reaches stderr, since the process is about to abort anyway.
void quietMessageHandler(QtMsgType type, const QMessageLogContext& /*context*/,
                         const QString& message) {
    if (type == QtFatalMsg) {
        std::fprintf(stderr, "%s\n", message.toLocal8Bit().constData());
    }
}

// Without a graphical session Qt's default platform cannot start; the app then runs on the
// offscreen platform (with the virtual desktop) instead of aborting.
void chooseHeadlessPlatformIfNeeded() {
    if (qEnvironmentVariableIsEmpty("DISPLAY") && qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY") &&
        qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
}

// A developer aid for documentation: opens the real menu at a fixed place on screen, so a
// screenshot can show it where no tray host runs (for example under Xvfb).
void showMenuForScreenshotIfAsked(AppDelegate& delegate) {
    if (qEnvironmentVariableIntValue("QUILLHAVEN_SHOW_MENU_FOR_SCREENSHOT") == 1) {
        delegate.menu().popup(QPoint(24, 24));
    }
}

}  // namespace

int main(int& argc, char** argv) {
    qInstallMessageHandler(quietMessageHandler);

    // Taken before anything else, so a second instance leaves before it reads or writes any
    // preference, desktop picture or file. Kept for the life of the process.
    const Environment environment = Environment::process();
    static std::unique_ptr<QLockFile> instanceLock =
        SingleInstance::acquire(QString::fromStdString(app_paths::instanceLock(environment)));
    if (!instanceLock) {
        return 0;
    }

    chooseHeadlessPlatformIfNeeded();
    // Never destroyed: the delegate's menu must not outlive the application object, and the
    // delegate lives as long as the process.
    static QApplication* const application = new QApplication(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Quillhaven"));
    QApplication::setDesktopFileName(QStringLiteral("quillhaven"));
    // No window, no taskbar entry: the tray icon is the whole interface, and closing a
    // window (there is none) must not end the app.
    QApplication::setQuitOnLastWindowClosed(false);

    ApplicationHooks hooks;
    hooks.terminate = [] { QCoreApplication::exit(0); };
    hooks.arguments = QCoreApplication::arguments();
    retainedDelegate = AppDelegate::create(
        makeDesktopServices(), std::move(hooks),
        std::make_shared<const WallpaperProcessor>(
            Url::directoryURLWithPath(app_paths::generatedFolder(environment))));

    // Launching finishes on the first turn of the event loop.
    QTimer::singleShot(0, application, [] {
        retainedDelegate->applicationDidFinishLaunching();
        showMenuForScreenshotIfAsked(*retainedDelegate);
    });
    return QApplication::exec();
}

}  // namespace quillhaven::QuillhavenMain
