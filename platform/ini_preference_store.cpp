#include "ini_preference_store.h"

#include <QByteArray>
#include <QFile>
#include <QFileInfo>
#include <QSettings>
#include <QString>
#include <QStringList>
#include <QTemporaryFile>
#include <QUuid>
#include <QVariant>

#include <cstdio>

#include <cmath>
#include <map>
#include <memory>

#include "environment.h"
#include "ini_variant_filter.h"

namespace quillhaven {

namespace {

QString qKey(const std::string& key) {
    return QString::fromStdString(key);
}

// The file's text as QSettings may safely read it: without values that would load as
// streamed variants (see ini_variant_filter.h). Empty when the file cannot be read.
QByteArray safeTextOf(const QString& path, bool* filtered) {
    QFile file(path);
    QByteArray text;
    if (file.open(QIODevice::ReadOnly)) {
        text = file.readAll();
    }
    QByteArray safe = withoutVariantValues(text);
    *filtered = safe.size() != text.size();
    return safe;
}

// Starts the copy that a write changes: the file's safe text (all of it, unless it held
// values that must not be loaded), or nothing when there is no file yet.
bool startCopy(const QString& path, const QString& copy) {
    if (!QFileInfo::exists(path)) {
        return true;
    }
    bool filtered = false;
    const QByteArray safe = safeTextOf(path, &filtered);
    if (!filtered) {
        return QFile::copy(path, copy);
    }
    QFile file(copy);
    return file.open(QIODevice::WriteOnly | QIODevice::NewOnly) &&
           file.write(safe) == safe.size() && file.flush();
}

// A value in a form that compares equal whether it was just set or read back from text.
QString canonical(const QVariant& value) {
    if (value.typeId() == QMetaType::QByteArray) {
        return QStringLiteral("data:") + QString::fromLatin1(value.toByteArray().toHex());
    }
    if (value.typeId() == QMetaType::QStringList) {
        return QStringLiteral("list:") + value.toStringList().join(QChar(0x1f));
    }
    return QStringLiteral("text:") + value.toString();
}

using Contents = std::map<QString, QString>;

Contents contentsOf(QSettings& settings) {
    Contents contents;
    for (const QString& key : settings.allKeys()) {
        // A hand-written line without a key reads as an empty key, which QSettings neither
        // answers nor writes back.
        if (key.isEmpty()) {
            continue;
        }
        contents[key] = canonical(settings.value(key));
    }
    return contents;
}

// QSettings over the preferences file, or, when the file holds values that must not be
// loaded, over a private copy without them. A copy that cannot be made reads as no file.
class SettingsView {
public:
    explicit SettingsView(const QString& path) {
        bool filtered = false;
        const QByteArray safe = safeTextOf(path, &filtered);
        if (!filtered) {
            settings_ = std::make_unique<QSettings>(path, QSettings::IniFormat);
        } else if (copy_.open() && copy_.write(safe) == safe.size() && copy_.flush()) {
            settings_ = std::make_unique<QSettings>(copy_.fileName(), QSettings::IniFormat);
        }
    }
    QVariant value(const std::string& key) const {
        return settings_ ? settings_->value(qKey(key)) : QVariant();
    }
    bool contains(const std::string& key) const {
        return settings_ && settings_->contains(qKey(key));
    }
    Contents contents() const { return settings_ ? contentsOf(*settings_) : Contents(); }

private:
    QTemporaryFile copy_;
    std::unique_ptr<QSettings> settings_;
};

// The stored value, or an invalid variant when the key is absent or the file unreadable.
QVariant readValue(const std::string& filePath, const std::string& key) {
    return SettingsView(QString::fromStdString(filePath)).value(key);
}

// Sets `key` to `value`, or removes it when `value` is invalid. QSettings writes through a
// temporary file renamed into place, but a short write on a full disk can go unnoticed and
// the rename then replaces the whole file with a truncated one, losing every other key. So
// the change is made on a copy beside the file, read back, and renamed over the file only
// when every key reads back as intended; otherwise the file stays as it was.
void writeValue(const std::string& filePath, const std::string& key, const QVariant& value) {
    const QString path = QString::fromStdString(filePath);
    Contents expected = SettingsView(path).contents();
    if (value.isValid()) {
        expected[qKey(key)] = canonical(value);
    } else {
        expected.erase(qKey(key));
    }
    const QString copy = path + QStringLiteral(".") +
                         QUuid::createUuid().toString(QUuid::Id128).left(12);
    if (!startCopy(path, copy)) {
        QFile::remove(copy);
        return;
    }
    bool written = false;
    {
        QSettings settings(copy, QSettings::IniFormat);
        if (value.isValid()) {
            settings.setValue(qKey(key), value);
        } else {
            settings.remove(qKey(key));
        }
        settings.sync();
        // A format error reports what was read before; the rewritten file is checked below.
        written = settings.status() != QSettings::AccessError;
    }
    if (written) {
        QSettings check(copy, QSettings::IniFormat);
        written = check.status() != QSettings::AccessError && contentsOf(check) == expected;
    }
    if (!written ||
        ::rename(QFile::encodeName(copy).constData(), QFile::encodeName(path).constData()) != 0) {
        QFile::remove(copy);
    }
}

// Text of a stored value. Values read from the file are text; a value this process wrote
// may still be held by QSettings in the type it was written with.
std::optional<QString> textOf(const QVariant& value) {
    if (!value.isValid() || value.typeId() == QMetaType::QByteArray) {
        return std::nullopt;
    }
    if (value.typeId() == QMetaType::QStringList) {
        return value.toStringList().join(QStringLiteral(", "));
    }
    if (!value.canConvert<QString>()) {
        return std::nullopt;
    }
    return value.toString();
}

std::optional<std::int64_t> integerOf(const QString& text) {
    const QString trimmed = text.trimmed();
    bool ok = false;
    const qlonglong whole = trimmed.toLongLong(&ok);
    if (ok) {
        return whole;
    }
    const double fraction = trimmed.toDouble(&ok);
    // Only values that truncate into the 64-bit range; 2^63 itself does not.
    if (ok && std::isfinite(fraction) && fraction > -9223372036854775808.0 &&
        fraction < 9223372036854775808.0) {
        return static_cast<std::int64_t>(fraction);
    }
    return std::nullopt;
}

}  // namespace

IniPreferenceStore::IniPreferenceStore(std::string filePath) : filePath_(std::move(filePath)) {}

bool IniPreferenceStore::boolForKey(const std::string& key) {
    const auto text = textOf(readValue(filePath_, key));
    if (!text) {
        return false;
    }
    const QString word = text->trimmed().toLower();
    if (word == QLatin1String("true") || word == QLatin1String("yes") ||
        word == QLatin1String("on")) {
        return true;
    }
    const auto number = integerOf(word);
    return number.has_value() && *number != 0;
}

std::int64_t IniPreferenceStore::integerForKey(const std::string& key) {
    const auto text = textOf(readValue(filePath_, key));
    if (!text) {
        return 0;
    }
    const QString word = text->trimmed().toLower();
    if (word == QLatin1String("true")) {
        return 1;
    }
    return integerOf(word).value_or(0);
}

std::optional<std::string> IniPreferenceStore::stringForKey(const std::string& key) {
    const auto text = textOf(readValue(filePath_, key));
    if (!text) {
        return std::nullopt;
    }
    return text->toStdString();
}

std::optional<Data> IniPreferenceStore::dataForKey(const std::string& key) {
    const QVariant value = readValue(filePath_, key);
    if (value.typeId() != QMetaType::QByteArray) {
        return std::nullopt;
    }
    const QByteArray bytes = value.toByteArray();
    return Data(bytes.begin(), bytes.end());
}

bool IniPreferenceStore::hasObjectForKey(const std::string& key) {
    return SettingsView(QString::fromStdString(filePath_)).contains(key);
}

void IniPreferenceStore::setBool(bool value, const std::string& key) {
    writeValue(filePath_, key, QVariant(value));
}

void IniPreferenceStore::setInteger(std::int64_t value, const std::string& key) {
    writeValue(filePath_, key, QVariant(static_cast<qlonglong>(value)));
}

void IniPreferenceStore::setString(const std::string& value, const std::string& key) {
    writeValue(filePath_, key, QVariant(QString::fromStdString(value)));
}

void IniPreferenceStore::setData(const Data& value, const std::string& key) {
    const QByteArray bytes(reinterpret_cast<const char*>(value.data()),
                           static_cast<qsizetype>(value.size()));
    writeValue(filePath_, key, QVariant(bytes));
}

void IniPreferenceStore::removeObject(const std::string& key) {
    writeValue(filePath_, key, QVariant());
}

}  // namespace quillhaven
