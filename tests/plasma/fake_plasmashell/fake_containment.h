#pragma once

// One desktop containment as Plasma's scripting shows it: its screen, its wallpaper plugin
// and a configuration it can read and write group by group. The values live in a JSON
// object that the fake shell saves after every script; like KDE's configuration files, it
// keeps every value as text.
//
// A write to the wallpaper's group also reaches the live wallpaper, kept under "live" in
// the state: as real Plasma does, the live wallpaper takes a colour only as "#rrggbb" or
// "#aarrggbb" and draws "r,g,b" black until the shell restarts. Writing undefined removes a
// key, as the real shell's scripting does.

#include <QJSValue>
#include <QJsonObject>
#include <QObject>
#include <QStringList>

class FakeDesktop : public QObject {
    Q_OBJECT
    Q_PROPERTY(int screen READ screen CONSTANT)
    Q_PROPERTY(QString wallpaperPlugin READ wallpaperPlugin WRITE setWallpaperPlugin)
    Q_PROPERTY(QStringList currentConfigGroup READ currentConfigGroup WRITE setCurrentConfigGroup)
    Q_PROPERTY(QStringList configKeys READ configKeys)

public:
    FakeDesktop(QJsonObject state, QObject* parent);

    int screen() const;
    QString wallpaperPlugin() const;
    void setWallpaperPlugin(const QString& plugin);
    QStringList currentConfigGroup() const { return group_; }
    void setCurrentConfigGroup(const QStringList& group) { group_ = group; }

    QStringList configKeys() const;
    // Answers the stored text, turned into a number when the default is one, or the
    // default when the key is not stored.
    Q_INVOKABLE QJSValue readConfig(const QString& key, const QJSValue& defaultValue) const;
    Q_INVOKABLE void writeConfig(const QString& key, const QJSValue& value);
    Q_INVOKABLE void reloadConfig() { ++reloads_; }

    QJsonObject state() const;

private:
    QString groupName() const { return group_.join(QLatin1Char('/')); }

    QJsonObject state_;
    QStringList group_;
    int reloads_ = 0;
};
