#include "platform/plasma/wallpaper_package.h"

#include <QColor>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QUrl>

#include <cmath>
#include <limits>

#include "core/app_paths.h"

namespace quillhaven::plasma {

namespace {

constexpr qint64 maxConfigBytes = 1024 * 1024;
const char* const pictureSuffixes[] = {"png", "jpg", "jpeg", "webp", "bmp", "tif", "tiff"};

bool isPackage(const QString& folder) {
    return QFileInfo(folder + QStringLiteral("/contents/images")).isDir();
}

// One value of a KDE configuration file: `key` in the group `[group]`. Only a regular
// file of sensible size is read; a group header may carry flags, like "[Wallpaper][$i]".
std::optional<QString> kdeConfigValue(const QString& path, const QString& group,
                                      const QString& key) {
    const QFileInfo info(path);
    if (!info.isFile() || info.size() > maxConfigBytes) {
        return std::nullopt;
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text)) {
        return std::nullopt;
    }
    const QString header = QLatin1Char('[') + group + QLatin1Char(']');
    bool inGroup = false;
    while (!file.atEnd()) {
        const QString line = QString::fromUtf8(file.readLine(maxConfigBytes)).trimmed();
        if (line.startsWith(QLatin1Char('['))) {
            inGroup = line == header || line.startsWith(header + QLatin1String("[$"));
            continue;
        }
        if (!inGroup) {
            continue;
        }
        const qsizetype equals = line.indexOf(QLatin1Char('='));
        if (equals > 0 && line.left(equals).trimmed() == key) {
            return line.mid(equals + 1).trimmed();
        }
    }
    return std::nullopt;
}

// Plasma's measure of how well a picture of `size` fits a screen of `screen`.
double distance(QSize size, QSize screen) {
    const double screenRatio =
        screen.height() > 0 ? screen.width() / static_cast<double>(screen.height()) : 0;
    const double ratio = size.height() > 0 ? size.width() / static_cast<double>(size.height())
                                           : std::numeric_limits<double>::max();
    double delta = size.width() - screen.width();
    delta = delta >= 0 ? delta : -delta * 2;
    return std::abs(ratio - screenRatio) * 25000 + delta;
}

// The size a picture's file name gives, as in "1920x1080.png".
QSize sizeInName(const QString& baseName) {
    const qsizetype x = baseName.indexOf(QLatin1Char('x'));
    if (x < 0) {
        return {};
    }
    return QSize(baseName.left(x).toInt(), baseName.mid(x + 1).toInt());
}

std::optional<QString> nearestIn(const QString& folder, QSize screen) {
    QStringList filters;
    for (const char* suffix : pictureSuffixes) {
        filters << QStringLiteral("*.") + QLatin1String(suffix);
    }
    const QFileInfoList pictures =
        QDir(folder).entryInfoList(filters, QDir::Files | QDir::Readable, QDir::Name);
    std::optional<QString> best;
    double bestDistance = std::numeric_limits<double>::max();
    for (const QFileInfo& picture : pictures) {
        const QSize size = sizeInName(picture.baseName());
        if (size.isEmpty()) {
            continue;
        }
        const double d = distance(size, screen);
        if (!best || d < bestDistance) {
            best = picture.absoluteFilePath();
            bestDistance = d;
        }
    }
    return best;
}

}  // namespace

PackageFolders PackageFolders::forEnvironment(const Environment& environment) {
    PackageFolders folders;
    for (const std::string& data : app_paths::xdgDataFolders(environment)) {
        const QString base = QString::fromStdString(data);
        folders.wallpapers << base + QStringLiteral("/wallpapers");
        folders.lookAndFeel << base + QStringLiteral("/plasma/look-and-feel");
    }
    folders.kdeGlobals = QString::fromStdString(app_paths::kdeGlobals(environment));
    return folders;
}

std::optional<QString> wallpaperPackageFolder(const QString& imageValue,
                                              const PackageFolders& folders) {
    const QString value = imageValue.trimmed();
    if (value.isEmpty()) {
        return std::nullopt;
    }
    QString path;
    if (value.startsWith(QLatin1Char('/'))) {
        path = value;
    } else if (const QUrl url(value); url.isLocalFile()) {
        path = url.toLocalFile();
    } else if (!value.contains(QLatin1Char('/')) && !value.contains(QLatin1Char(':'))) {
        for (const QString& wallpapers : folders.wallpapers) {
            const QString candidate = wallpapers + QLatin1Char('/') + value;
            if (isPackage(candidate)) {
                return QDir::cleanPath(candidate);
            }
        }
        return std::nullopt;
    } else {
        return std::nullopt;
    }
    if (!isPackage(path)) {
        return std::nullopt;
    }
    return QDir::cleanPath(path);
}

std::optional<QString> defaultWallpaperPackage(const PackageFolders& folders) {
    const QString lookAndFeel =
        kdeConfigValue(folders.kdeGlobals, QStringLiteral("KDE"),
                       QStringLiteral("LookAndFeelPackage"))
            .value_or(QStringLiteral("org.kde.breeze.desktop"));
    for (const QString& base : folders.lookAndFeel) {
        const auto image =
            kdeConfigValue(base + QLatin1Char('/') + lookAndFeel + QStringLiteral("/contents/defaults"),
                           QStringLiteral("Wallpaper"), QStringLiteral("Image"));
        if (image) {
            if (auto package = wallpaperPackageFolder(*image, folders)) {
                return package;
            }
        }
    }
    return wallpaperPackageFolder(QStringLiteral("Next"), folders);
}

bool prefersDarkPictures(const PackageFolders& folders) {
    const auto background = kdeConfigValue(folders.kdeGlobals, QStringLiteral("Colors:Window"),
                                           QStringLiteral("BackgroundNormal"));
    if (!background) {
        return false;  // Breeze's light window background
    }
    const QStringList parts = background->split(QLatin1Char(','));
    if (parts.size() < 3) {
        return false;
    }
    const QColor color(parts.at(0).trimmed().toInt(), parts.at(1).trimmed().toInt(),
                       parts.at(2).trimmed().toInt());
    // The threshold Plasma's colour settings use.
    return qGray(color.rgb()) < 192;
}

std::optional<QString> preferredPictureInPackage(const QString& folder, QSize pixels, bool dark) {
    const QSize screen = pixels.isEmpty() ? QSize(1920, 1080) : pixels;
    if (dark) {
        if (auto picture = nearestIn(folder + QStringLiteral("/contents/images_dark"), screen)) {
            return picture;
        }
    }
    return nearestIn(folder + QStringLiteral("/contents/images"), screen);
}

}  // namespace quillhaven::plasma
