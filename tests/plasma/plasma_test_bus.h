#pragma once

// A fake Plasma shell on a private session bus, for tests.

#include <QJsonObject>
#include <QProcess>
#include <QString>
#include <QTemporaryDir>

#include "tests/support/private_session_bus.h"

namespace quillhaven::testing {

class FakePlasmaShell {
public:
    // Starts the fake on the bus with the desktops in `statePath` and waits for its name.
    // With `appletsPath` it saves the desktops there after every change, as plasmashell
    // saves its applets configuration.
    FakePlasmaShell(const QString& busAddress, const QString& statePath,
                    const QString& appletsPath = {});
    ~FakePlasmaShell();
    FakePlasmaShell(const FakePlasmaShell&) = delete;
    FakePlasmaShell& operator=(const FakePlasmaShell&) = delete;

    bool isReady() const { return ready_; }

private:
    QProcess process_;
    bool ready_ = false;
};

// The fake shell's state file.
QJsonObject readShellState(const QString& path);
void writeShellState(const QString& path, const QJsonObject& state);

// A desktop with the image plugin and the given settings, as Plasma keeps them (text).
QJsonObject imageDesktop(int screen, const QString& image, int fillMode, const QString& color);
// A desktop with another wallpaper plugin.
QJsonObject pluginDesktop(int screen, const QString& plugin);
// One key of a desktop's image-plugin settings in a state read back from the fake.
QString imageSetting(const QJsonObject& state, int desktopIndex, const QString& key);

}  // namespace quillhaven::testing
