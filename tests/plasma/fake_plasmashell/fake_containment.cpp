#include "tests/plasma/fake_plasmashell/fake_containment.h"

FakeDesktop::FakeDesktop(QJsonObject state, QObject* parent)
    : QObject(parent), state_(std::move(state)) {}

int FakeDesktop::screen() const {
    return state_.value(QLatin1String("screen")).toInt(-1);
}

QString FakeDesktop::wallpaperPlugin() const {
    return state_.value(QLatin1String("plugin")).toString();
}

void FakeDesktop::setWallpaperPlugin(const QString& plugin) {
    state_.insert(QLatin1String("plugin"), plugin);
}

QStringList FakeDesktop::configKeys() const {
    const QJsonObject groups = state_.value(QLatin1String("config")).toObject();
    return groups.value(groupName()).toObject().keys();
}

QJSValue FakeDesktop::readConfig(const QString& key, const QJSValue& defaultValue) const {
    const QJsonObject groups = state_.value(QLatin1String("config")).toObject();
    const QJsonObject group = groups.value(groupName()).toObject();
    if (!group.contains(key)) {
        return defaultValue;
    }
    const QString text = group.value(key).toString();
    if (defaultValue.isNumber()) {
        bool ok = false;
        const double number = text.toDouble(&ok);
        return ok ? QJSValue(number) : defaultValue;
    }
    return QJSValue(text);
}

void FakeDesktop::writeConfig(const QString& key, const QJSValue& value) {
    if (group_.isEmpty()) {
        return;
    }
    QJsonObject groups = state_.value(QLatin1String("config")).toObject();
    QJsonObject group = groups.value(groupName()).toObject();
    if (value.isUndefined()) {
        // As in Plasma, writing undefined removes the key.
        group.remove(key);
        groups.insert(groupName(), group);
        state_.insert(QLatin1String("config"), groups);
        return;
    }
    group.insert(key, value.toString());
    groups.insert(groupName(), group);
    state_.insert(QLatin1String("config"), groups);
    if (group_.constFirst() == QLatin1String("Wallpaper")) {
        QString live = value.toString();
        if (key == QLatin1String("Color") && !live.startsWith(QLatin1Char('#'))) {
            live = QStringLiteral("#000000");
        }
        QJsonObject liveState = state_.value(QLatin1String("live")).toObject();
        liveState.insert(key, live);
        state_.insert(QLatin1String("live"), liveState);
    }
}

QJsonObject FakeDesktop::state() const {
    QJsonObject state = state_;
    if (reloads_ > 0) {
        state.insert(QLatin1String("reloads"),
                     state_.value(QLatin1String("reloads")).toInt() + reloads_);
    }
    return state;
}
