#include "tests/plasma/plasma_test_bus.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QSaveFile>

namespace quillhaven::testing {

namespace {

constexpr int startTimeoutInMilliseconds = 10000;

const QString imageGroup = QStringLiteral("Wallpaper/org.kde.image/General");

}  // namespace

FakePlasmaShell::FakePlasmaShell(const QString& busAddress, const QString& statePath,
                                 const QString& appletsPath) {
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"), busAddress);
    process_.setProcessEnvironment(environment);
    process_.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    QStringList arguments{QStringLiteral("--state"), statePath};
    if (!appletsPath.isEmpty()) {
        arguments << QStringLiteral("--applets") << appletsPath;
    }
    process_.start(QStringLiteral(QUILLHAVEN_FAKE_PLASMASHELL), arguments);
    if (!process_.waitForStarted(startTimeoutInMilliseconds)) {
        return;
    }
    while (!process_.canReadLine() && process_.waitForReadyRead(startTimeoutInMilliseconds)) {
    }
    ready_ = process_.readLine().trimmed() == "ready";
}

FakePlasmaShell::~FakePlasmaShell() {
    if (process_.state() != QProcess::NotRunning) {
        process_.terminate();
        if (!process_.waitForFinished(startTimeoutInMilliseconds)) {
            process_.kill();
            process_.waitForFinished();
        }
    }
}

QJsonObject readShellState(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return {};
    }
    return QJsonDocument::fromJson(file.readAll()).object();
}

void writeShellState(const QString& path, const QJsonObject& state) {
    QSaveFile file(path);
    if (file.open(QIODevice::WriteOnly)) {
        file.write(QJsonDocument(state).toJson());
        file.commit();
    }
}

QJsonObject imageDesktop(int screen, const QString& image, int fillMode, const QString& color) {
    QJsonObject settings{{QStringLiteral("Image"), image},
                         {QStringLiteral("FillMode"), QString::number(fillMode)},
                         {QStringLiteral("Color"), color}};
    return QJsonObject{{QStringLiteral("screen"), screen},
                       {QStringLiteral("plugin"), QStringLiteral("org.kde.image")},
                       {QStringLiteral("config"), QJsonObject{{imageGroup, settings}}}};
}

QJsonObject pluginDesktop(int screen, const QString& plugin) {
    return QJsonObject{{QStringLiteral("screen"), screen},
                       {QStringLiteral("plugin"), plugin},
                       {QStringLiteral("config"), QJsonObject{}}};
}

QString imageSetting(const QJsonObject& state, int desktopIndex, const QString& key) {
    return state.value(QStringLiteral("desktops"))
        .toArray()
        .at(desktopIndex)
        .toObject()
        .value(QStringLiteral("config"))
        .toObject()
        .value(imageGroup)
        .toObject()
        .value(key)
        .toString();
}

}  // namespace quillhaven::testing
