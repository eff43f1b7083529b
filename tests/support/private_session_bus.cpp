#include "tests/support/private_session_bus.h"

#include <QFile>

namespace quillhaven::testing {

namespace {

constexpr int startTimeoutInMilliseconds = 10000;

const char* busConfiguration = R"XML(<!DOCTYPE busconfig PUBLIC
 "-//freedesktop//DTD D-Bus Bus Configuration 1.0//EN"
 "http://www.freedesktop.org/standards/dbus/1.0/busconfig.dtd">
<busconfig>
  <type>session</type>
  <listen>unix:dir=%1</listen>
  <auth>EXTERNAL</auth>
  <policy context="default">
    <allow send_destination="*" eavesdrop="true"/>
    <allow eavesdrop="true"/>
    <allow own="*"/>
  </policy>
</busconfig>
)XML";

}  // namespace

PrivateSessionBus::PrivateSessionBus() {
    if (!folder_.isValid()) {
        return;
    }
    const QString configPath = folder_.filePath(QStringLiteral("bus.conf"));
    QFile config(configPath);
    if (!config.open(QIODevice::WriteOnly)) {
        return;
    }
    config.write(QString::fromLatin1(busConfiguration).arg(folder_.path()).toUtf8());
    config.close();
    daemon_.start(QStringLiteral("dbus-daemon"),
                  {QStringLiteral("--config-file=") + configPath, QStringLiteral("--nofork"),
                   QStringLiteral("--nopidfile"), QStringLiteral("--print-address=1")});
    if (!daemon_.waitForStarted(startTimeoutInMilliseconds)) {
        return;
    }
    // The daemon prints its address as its first line once it listens.
    while (!daemon_.canReadLine() && daemon_.waitForReadyRead(startTimeoutInMilliseconds)) {
    }
    address_ = QString::fromUtf8(daemon_.readLine()).trimmed();
}

PrivateSessionBus::~PrivateSessionBus() {
    if (daemon_.state() != QProcess::NotRunning) {
        daemon_.terminate();
        if (!daemon_.waitForFinished(startTimeoutInMilliseconds)) {
            daemon_.kill();
            daemon_.waitForFinished();
        }
    }
}

}  // namespace quillhaven::testing
