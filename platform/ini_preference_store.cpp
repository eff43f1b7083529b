#include "platform/ini_preference_store.h"

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

#include <sys/stat.h>
#include <unistd.h>

#include <QtDebug>

#include "core/environment.h"
#include "core/log_categories.h"
#include "core/regular_file.h"
#include "platform/ini_variant_filter.h"

namespace quillhaven {

namespace {

QString qKey(const std::string& key) {
    return QString::fromStdString(key);
}

// What is in the preferences file's place.
enum class FileKind { none, readable, unreadable };

// The file's text as QSettings may safely read it: without values that would load as
// streamed variants (see ini_variant_filter.h). Only a regular file of at most
// IniPreferenceStore::maxFileBytes is read, opened without blocking, so a FIFO or a huge
// file in its place can neither stall nor swamp the app; anything else reads as empty.
QByteArray safeTextOf(const QString& path, bool* filtered, FileKind* kind = nullptr) {
    QByteArray text;
    FileKind found = QFileInfo::exists(path) ? FileKind::unreadable : FileKind::none;
    const int fd = openRegularFile(path);
    struct stat status {};
    QFile file;
    if (fd >= 0 && ::fstat(fd, &status) == 0 &&
        status.st_size <= IniPreferenceStore::maxFileBytes &&
        file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        // The file may grow after the check: never more than the bound is read.
        text = file.read(IniPreferenceStore::maxFileBytes + 1);
        if (text.size() <= IniPreferenceStore::maxFileBytes) {
            found = FileKind::readable;
        } else {
            text.clear();
        }
    } else if (fd >= 0) {
        ::close(fd);
    }
    if (kind) {
        *kind = found;
    }
    QByteArray safe = withoutVariantValues(text);
    *filtered = found == FileKind::unreadable || safe.size() != text.size();
    return safe;
}

// Starts the copy that a write changes: the file's safe text (all of it, unless it held
// values that must not be loaded), or nothing when there is no file yet. A file that
// cannot be read is never overwritten: it is moved aside under a name of its own first,
// so nothing the user had is lost.
bool startCopy(const QString& path, const QString& copy) {
    bool filtered = false;
    FileKind kind = FileKind::none;
    const QByteArray safe = safeTextOf(path, &filtered, &kind);
    if (kind == FileKind::none) {
        return true;
    }
    if (kind == FileKind::unreadable) {
        const QString aside = path + QStringLiteral(".unreadable-") +
                              QUuid::createUuid().toString(QUuid::Id128).left(12);
        if (::rename(QFile::encodeName(path).constData(), QFile::encodeName(aside).constData()) !=
            0) {
            return false;
        }
        qCWarning(logPlatform, "Preferences file could not be read; kept as %s", qPrintable(aside));
        return true;
    }
    // The text already read, not the path again: whatever is put in the file's place in
    // between is never read.
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

// QSettings over a private copy of the preferences file, without values that must not be
// loaded. A copy that cannot be made reads as no file.
class SettingsView {
public:
    explicit SettingsView(const QString& path) {
        bool filtered = false;
        FileKind kind = FileKind::none;
        const QByteArray safe = safeTextOf(path, &filtered, &kind);
        if (kind == FileKind::unreadable) {
            return;
        }
        // Always the text just read, through a copy of its own: QSettings keeps a parsed
        // file per path and re-reads it only when its size or time stamp moved, so two
        // saves of the same size within one tick of the clock would read back the old
        // value.
        if (copy_.open() && copy_.write(safe) == safe.size() && copy_.flush()) {
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

using Changes = std::vector<std::pair<std::string, QVariant>>;

// Sets each key to its value, or removes it when the value is invalid, all in one save.
// QSettings writes through a temporary file renamed into place, but a short write on a full
// disk can go unnoticed and the rename then replaces the whole file with a truncated one,
// losing every other key. So the changes are made on a copy beside the file, read back, and
// renamed over the file only when every key reads back as intended; otherwise the file
// stays as it was.
void writeValues(const std::string& filePath, const Changes& changes) {
    const QString path = QString::fromStdString(filePath);
    Contents expected = SettingsView(path).contents();
    for (const auto& [key, value] : changes) {
        if (value.isValid()) {
            expected[qKey(key)] = canonical(value);
        } else {
            expected.erase(qKey(key));
        }
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
        for (const auto& [key, value] : changes) {
            if (value.isValid()) {
                settings.setValue(qKey(key), value);
            } else {
                settings.remove(qKey(key));
            }
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

void writeValue(const std::string& filePath, const std::string& key, const QVariant& value) {
    writeValues(filePath, {{key, value}});
}

QVariant variantOf(const PreferenceValue& value) {
    return std::visit(
        [](const auto& v) -> QVariant {
            using T = std::decay_t<decltype(v)>;
            if constexpr (std::is_same_v<T, bool>) {
                return QVariant(v);
            } else if constexpr (std::is_same_v<T, std::int64_t>) {
                return QVariant(static_cast<qlonglong>(v));
            } else if constexpr (std::is_same_v<T, std::string>) {
                return QVariant(QString::fromStdString(v));
            } else {
                return QVariant(QByteArray(reinterpret_cast<const char*>(v.data()),
                                           static_cast<qsizetype>(v.size())));
            }
        },
        value);
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
    writeValue(filePath_, key, variantOf(value));
}

void IniPreferenceStore::setInteger(std::int64_t value, const std::string& key) {
    writeValue(filePath_, key, variantOf(value));
}

void IniPreferenceStore::setString(const std::string& value, const std::string& key) {
    writeValue(filePath_, key, variantOf(value));
}

void IniPreferenceStore::setData(const Data& value, const std::string& key) {
    writeValue(filePath_, key, variantOf(value));
}

void IniPreferenceStore::removeObject(const std::string& key) {
    writeValue(filePath_, key, QVariant());
}

void IniPreferenceStore::setValues(const std::vector<PreferenceChange>& changes) {
    Changes converted;
    for (const PreferenceChange& change : changes) {
        converted.emplace_back(change.key,
                               change.value ? variantOf(*change.value) : QVariant());
    }
    writeValues(filePath_, converted);
}

}  // namespace quillhaven
