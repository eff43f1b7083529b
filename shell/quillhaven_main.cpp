#include "shell/quillhaven_main.h"

#include <QApplication>
#include <QDBusConnection>
#include <QMenu>
#include <QTimer>
#include <cstdio>

#include "core/app_paths.h"
#include "core/log.h"
#include "core/log_categories.h"
#include "platform/desktop_backend.h"
#include "shell/app_delegate.h"
#include "shell/bus_client.h"
#include "shell/bus_service.h"
#include "shell/command_line.h"
#include "shell/single_instance.h"
#include "shell/user_language.h"
#include "shell/when_idle.h"

namespace quillhaven::QuillhavenMain {
namespace {

using CommandLine::Command;

void print(std::FILE* stream, const QString& text) {
    std::fputs(text.toLocal8Bit().constData(), stream);
    std::fflush(stream);
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

// Sends a command to the running instance.
int runClient(int& argc, char** argv, Command command, bool instanceIsStarting = false) {
    // Only its own English texts and the app's status line, already in the app's language.
    const QCoreApplication application(argc, argv);
    return BusClient::run(command, instanceIsStarting);
}

// Runs the tray app; `command` is run, enable or disable (performed once launched and idle)
// or selfTest.
int runApp(int& argc, char** argv, Command command) {
    chooseHeadlessPlatformIfNeeded();
    // Never destroyed: the delegate's menu must not outlive the application object, and the
    // delegate lives as long as the process.
    static QApplication* const application = new QApplication(argc, argv);
    UserLanguage::install(*application);
    QApplication::setApplicationName(QStringLiteral("Quillhaven"));
    QApplication::setApplicationVersion(QStringLiteral(QUILLHAVEN_VERSION));
    QApplication::setDesktopFileName(QStringLiteral("io.github.quillhaven.Quillhaven"));
    // No window, no taskbar entry: the tray icon is the whole interface, and closing a
    // window (there is none) must not end the app.
    QApplication::setQuitOnLastWindowClosed(false);

    ApplicationHooks hooks;
    static int exitStatus = 0;
    hooks.terminate = [] { QCoreApplication::exit(exitStatus); };
    hooks.reportSelfTest = [](int status, const QString& reason) {
        exitStatus = status;
        if (!reason.isEmpty()) {
            print(stderr, QStringLiteral("quillhaven: self-test: %1\n").arg(reason));
        }
    };
    hooks.arguments = QCoreApplication::arguments();
    hooks.windowsCanShow = QGuiApplication::platformName() != QLatin1String("offscreen");
    retainedDelegate = AppDelegate::create(
        makeDesktopServices(), std::move(hooks),
        std::make_shared<const WallpaperProcessor>(Url::directoryURLWithPath(
            app_paths::generatedFolder(Environment::process()))));
    qCInfo(logShell) << "started";

    static BusService* service = nullptr;
    // Launching finishes on the first turn of the event loop.
    QTimer::singleShot(0, application, [command] {
        retainedDelegate->applicationDidFinishLaunching();
        service = new BusService(retainedDelegate);
        service->publish(QDBusConnection::sessionBus());
        if (command == Command::enable || command == Command::disable) {
            runWhenIdle(retainedDelegate, [on = command == Command::enable] {
                retainedDelegate->controller().setEffectEnabled(on);
            });
        }
        showMenuForScreenshotIfAsked(*retainedDelegate);
    });
    const int status = QApplication::exec();
    if (service != nullptr) {
        service->withdraw();
    }
    qCInfo(logShell) << "quits with status" << status;
    return status;
}

}  // namespace

int main(int& argc, char** argv) {
    log::applyDefaultRules();
    QStringList arguments;
    for (int i = 0; i < argc; ++i) {
        arguments << QString::fromLocal8Bit(argv[i]);
    }
    const CommandLine::Parsed parsed = CommandLine::parse(arguments);
    switch (parsed.command) {
        case Command::help:
            print(stdout, CommandLine::helpText());
            return 0;
        case Command::version:
            print(stdout, CommandLine::versionText());
            return 0;
        case Command::usageError:
            print(stderr, QStringLiteral("quillhaven: unknown option: %1\n%2")
                              .arg(parsed.offendingArgument, CommandLine::usageText()));
            return 2;
        case Command::status:
        case Command::reprocess:
            return runClient(argc, argv, parsed.command);
        default:
            break;
    }

    // Taken before anything else, so a second instance leaves before it reads or writes any
    // preference, desktop picture or file. Kept for the life of the process.
    static std::unique_ptr<QLockFile> instanceLock = SingleInstance::acquire(
        QString::fromStdString(app_paths::instanceLock(Environment::process())));
    if (!instanceLock) {
        // Another instance runs: a bare launch tells it so (one without a tray then shows
        // its window) and leaves, --enable and --disable are passed on to it, and a
        // self-test, which proves nothing this way, says so.
        if (parsed.command == Command::selfTest) {
            print(stderr, QStringLiteral("quillhaven: self-test: another Quillhaven is running; "
                                         "nothing was done\n"));
            return 1;
        }
        if (CommandLine::isInstanceCommand(parsed.command)) {
            return runClient(argc, argv, parsed.command, true);
        }
        const QCoreApplication application(argc, argv);
        BusClient::announceLaunch();
        return 0;
    }
    return runApp(argc, argv, parsed.command);
}

}  // namespace quillhaven::QuillhavenMain
