#include "tests/plasma/fake_plasmashell/fake_shell.h"

#include <QDBusConnection>
#include <QDBusError>
#include <QFile>
#include <QJSEngine>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSaveFile>
#include <vector>

#include "tests/plasma/fake_plasmashell/fake_containment.h"

namespace {

// The global functions a Plasma desktop script sees, as far as the tests use them.
class ScriptApi : public QObject {
    Q_OBJECT

public:
    ScriptApi(QJSEngine& engine, const QJsonArray& desktops, QJsonObject connectors)
        : engine_(engine), connectors_(std::move(connectors)) {
        for (const QJsonValue& desktop : desktops) {
            desktops_.push_back(new FakeDesktop(desktop.toObject(), this));
        }
    }

    Q_INVOKABLE QJSValue desktops() {
        QJSValue list = engine_.newArray(static_cast<uint>(desktops_.size()));
        for (std::size_t i = 0; i < desktops_.size(); ++i) {
            list.setProperty(static_cast<quint32>(i), engine_.newQObject(desktops_[i]));
        }
        return list;
    }

    // Plasma's own number for the screen on a connector, -1 when it has none.
    Q_INVOKABLE int screenForConnector(const QString& connector) const {
        return connectors_.value(connector).toInt(-1);
    }

    // Plasma's shell collects printed text without separators and answers it.
    Q_INVOKABLE void print(const QString& text) { output_ += text; }

    QString output() const { return output_; }
    QJsonArray desktopStates() const {
        QJsonArray states;
        for (const FakeDesktop* desktop : desktops_) {
            states.append(desktop->state());
        }
        return states;
    }

private:
    QJSEngine& engine_;
    QJsonObject connectors_;
    std::vector<FakeDesktop*> desktops_;
    QString output_;
};

QJsonObject loadState(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return {};
    }
    return QJsonDocument::fromJson(file.readAll()).object();
}

bool saveState(const QString& path, const QJsonObject& state) {
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        return false;
    }
    file.write(QJsonDocument(state).toJson());
    return file.commit();
}

// The desktops' settings in the applets file's INI shape, one group per desktop.
bool saveApplets(const QString& path, const QJsonArray& desktops) {
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        return false;
    }
    for (qsizetype index = 0; index < desktops.size(); ++index) {
        const QJsonObject desktop = desktops.at(index).toObject();
        file.write(QStringLiteral("[Containments][%1]\nwallpaperplugin=%2\n")
                       .arg(index + 1)
                       .arg(desktop.value(QLatin1String("plugin")).toString())
                       .toUtf8());
        file.write(QJsonDocument(desktop).toJson(QJsonDocument::Compact) + "\n\n");
    }
    return file.commit();
}

}  // namespace

QString FakeShell::evaluateScript(const QString& script) {
    QJsonObject state = loadState(statePath_);
    state.insert(QLatin1String("calls"), state.value(QLatin1String("calls")).toInt() + 1);
    state.insert(QLatin1String("lastScript"), script);
    if (state.value(QLatin1String("hung")).toBool()) {
        // A shell that has stopped answering: the call is taken and never replied to.
        saveState(statePath_, state);
        setDelayedReply(true);
        return {};
    }
    if (state.value(QLatin1String("locked")).toBool()) {
        saveState(statePath_, state);
        sendErrorReply(QDBusError::Failed, QStringLiteral("Widgets are locked"));
        return {};
    }

    QJSEngine engine;
    const QJsonValue connectors = state.value(QLatin1String("connectors"));
    ScriptApi api(engine, state.value(QLatin1String("desktops")).toArray(), connectors.toObject());
    // Owned here on the stack: the engine must never collect it.
    QJSEngine::setObjectOwnership(&api, QJSEngine::CppOwnership);
    engine.globalObject().setProperty(QStringLiteral("__shell"), engine.newQObject(&api));
    engine.evaluate(
        QStringLiteral("var desktops = function () { return __shell.desktops(); };\n"
                       "var print = function () {\n"
                       "  __shell.print(Array.prototype.join.call(arguments, ' '));\n"
                       "};\n"));
    // Plasma maps connectors to its screen numbers; a state without the map stands for a
    // shell that cannot.
    if (connectors.isObject()) {
        engine.evaluate(QStringLiteral(
            "var screenForConnector = function (c) { return __shell.screenForConnector(c); };\n"));
    }
    const QJSValue result = engine.evaluate(script, QStringLiteral("script"));

    const QJsonArray before = state.value(QLatin1String("desktops")).toArray();
    state.insert(QLatin1String("desktops"), api.desktopStates());
    saveState(statePath_, state);
    if (!appletsPath_.isEmpty() && api.desktopStates() != before) {
        saveApplets(appletsPath_, api.desktopStates());
    }
    if (result.isError()) {
        sendErrorReply(QDBusError::Failed,
                       QStringLiteral("Error: %1 at line %2")
                           .arg(result.property(QStringLiteral("message")).toString())
                           .arg(result.property(QStringLiteral("lineNumber")).toInt()));
        return {};
    }
    return api.output();
}

#include "fake_shell.moc"
