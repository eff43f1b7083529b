#include "tests/e2e/app_process.h"
#include "tests/support/app_sandbox.h"

#include <QColor>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QImage>
#include <QJsonArray>
#include <QJsonDocument>
#include <QSaveFile>
#include <QSettings>
#include <QThread>
#include <QUrl>

namespace quillhaven::e2e {

AppWorld::AppWorld() {
    QDir().mkpath(path(QStringLiteral("config/Quillhaven")));
    environment_ = testing::sandboxEnvironment(path(QString()));
    environment_.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    environment_.insert(QStringLiteral("QUILLHAVEN_DESKTOP"), QStringLiteral("virtual"));
}

QString AppWorld::makePicture(const QString& name, QColor color) const {
    const QString file = path(name);
    QImage picture(320, 200, QImage::Format_RGB32);
    picture.fill(color);
    picture.save(file);
    return file;
}

void AppWorld::writeDesktop(const QString& picture, const QJsonObject& options,
                            QSize sizeInPoints, double scale) const {
    const auto rect = [](double x, double y, double width, double height) {
        return QJsonObject{{"x", x}, {"y", y}, {"width", width}, {"height", height}};
    };
    const QJsonObject display{
        {"id", "built-in"},
        {"frame", rect(0, 0, sizeInPoints.width(), sizeInPoints.height())},
        {"backingScaleFactor", scale},
        {"safeAreaInsets", QJsonObject{{"top", 24}, {"left", 0}, {"bottom", 0}, {"right", 0}}},
        {"auxiliaryTopLeftArea", rect(0, sizeInPoints.height() - 24, 170, 24)},
        {"auxiliaryTopRightArea",
         rect(sizeInPoints.width() - 170, sizeInPoints.height() - 24, 170, 24)},
        {"desktopImage",
         QJsonObject{{"url", QUrl::fromLocalFile(picture).toString()}, {"options", options}}},
    };
    // Written the way an editor saves: the app never sees half a file.
    QSaveFile file(desktopFile());
    file.open(QIODevice::WriteOnly);
    file.write(QJsonDocument(QJsonObject{{"displays", QJsonArray{display}}}).toJson());
    file.commit();
}

QJsonObject AppWorld::desktopImage() const {
    QFile file(desktopFile());
    if (!file.open(QIODevice::ReadOnly)) {
        return {};
    }
    const QJsonArray displays = QJsonDocument::fromJson(file.readAll())["displays"].toArray();
    return displays.isEmpty() ? QJsonObject() : displays[0]["desktopImage"].toObject();
}

QString AppWorld::shownPicture() const {
    const QString url = desktopImage()["url"].toString();
    return url.isEmpty() ? QString() : QUrl(url).toLocalFile();
}

void AppWorld::writePreference(const QString& key, const QVariant& value) const {
    QSettings settings(preferencesFile(), QSettings::IniFormat);
    settings.setValue(key, value);
    settings.sync();
}

std::optional<QVariant> AppWorld::preference(const QString& key) const {
    QSettings settings(preferencesFile(), QSettings::IniFormat);
    if (!settings.contains(key)) {
        return std::nullopt;
    }
    return settings.value(key);
}

QStringList AppWorld::generatedFiles() const {
    return QDir(generatedFolder()).entryList(QDir::Files | QDir::Hidden | QDir::NoDotAndDotDot);
}

std::unique_ptr<QProcess> AppWorld::start(const QStringList& arguments) const {
    auto process = std::make_unique<QProcess>();
    process->setProcessEnvironment(environment_);
    process->setWorkingDirectory(path(QStringLiteral("home")));
    process->start(QString::fromUtf8(QUILLHAVEN_BINARY), arguments);
    process->waitForStarted();
    return process;
}

void AppWorld::setEnvironment(const QString& name, const QString& value) {
    if (value.isEmpty()) {
        environment_.remove(name);
    } else {
        environment_.insert(name, value);
    }
}

AppWorld::Finished AppWorld::run(const QStringList& arguments,
                                 std::chrono::milliseconds limit) const {
    const auto process = start(arguments);
    Finished finished;
    if (!process->waitForFinished(static_cast<int>(limit.count()))) {
        stop(*process);
        return finished;
    }
    finished.exitCode = process->exitStatus() == QProcess::NormalExit ? process->exitCode() : -1;
    finished.out = QString::fromLocal8Bit(process->readAllStandardOutput());
    finished.err = QString::fromLocal8Bit(process->readAllStandardError());
    return finished;
}

bool waitUntil(const std::function<bool()>& condition, std::chrono::milliseconds limit) {
    QElapsedTimer clock;
    clock.start();
    while (!condition()) {
        if (clock.elapsed() > limit.count()) {
            return false;
        }
        QThread::msleep(50);
    }
    return true;
}

void stop(QProcess& process) {
    if (process.state() != QProcess::NotRunning) {
        process.terminate();
        if (!process.waitForFinished(5000)) {
            process.kill();
            process.waitForFinished(5000);
        }
    }
}

}  // namespace quillhaven::e2e
