#pragma once

// The real app in a private world: its own home, XDG folders and runtime folder under a
// temporary directory, Qt's offscreen platform and the virtual desktop. Helpers write the
// virtual desktop's JSON file and the preferences the way a user or an earlier run would,
// and read back what the app left.

#include <QJsonObject>
#include <QProcess>
#include <QSize>
#include <QString>
#include <QTemporaryDir>
#include <chrono>
#include <functional>
#include <memory>
#include <optional>

namespace quillhaven::e2e {

class AppWorld {
public:
    AppWorld();

    QString path(const QString& relative) const { return root_.filePath(relative); }
    QString configFolder() const { return path(QStringLiteral("config/Quillhaven")); }
    QString generatedFolder() const { return path(QStringLiteral("data/Quillhaven/Generated")); }
    QString desktopFile() const { return configFolder() + QStringLiteral("/virtual-desktop.json"); }
    QString preferencesFile() const { return configFolder() + QStringLiteral("/Quillhaven.conf"); }
    QString lockFile() const { return path(QStringLiteral("runtime/quillhaven.lock")); }

    // Writes a small picture of one colour and returns its path.
    QString makePicture(const QString& name, QColor color) const;
    // Writes the virtual desktop: one notched display, by default small, showing `picture`
    // with `options`. A larger `scale` (pixels per point) makes the render longer.
    void writeDesktop(const QString& picture, const QJsonObject& options,
                      QSize sizeInPoints = QSize(400, 260), double scale = 1) const;
    // The desktopImage entry of the first display, or an empty object.
    QJsonObject desktopImage() const;
    // The picture path the first display shows ("" when none).
    QString shownPicture() const;
    void writePreference(const QString& key, const QVariant& value) const;
    std::optional<QVariant> preference(const QString& key) const;
    // The names of the files in the generated folder (none when it does not exist).
    QStringList generatedFiles() const;

    // The environment every start uses: the private folders, offscreen, the virtual desktop.
    const QProcessEnvironment& environment() const { return environment_; }

    // Starts the app with the given arguments.
    std::unique_ptr<QProcess> start(const QStringList& arguments) const;

    // Sets (or with an empty value removes) a variable of the app's environment.
    void setEnvironment(const QString& name, const QString& value);

    struct Finished {
        int exitCode = -1;
        QString out;
        QString err;
    };
    // Runs the app with the given arguments to its end (killed after `limit`).
    Finished run(const QStringList& arguments,
                 std::chrono::milliseconds limit = std::chrono::seconds(60)) const;

private:
    QTemporaryDir root_;
    QProcessEnvironment environment_;
};

// Polls `condition` every 50 ms until it holds or `limit` passes; returns whether it held.
bool waitUntil(const std::function<bool()>& condition, std::chrono::milliseconds limit);

// Ends a started app that is still running and waits for it.
void stop(QProcess& process);

}  // namespace quillhaven::e2e
