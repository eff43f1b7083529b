// Which picture Plasma shows for a wallpaper package, an Image that names one, and a desktop
// that names none: synthetic packages laid out as Plasma's own are.

#include "platform/plasma/wallpaper_package.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>

#include "tests/support/temp_folder.h"

namespace quillhaven::plasma {
namespace {

// Next's sizes, as Debian 12 and 13 ship them.
const char* const nextSizes[] = {"1024x768",  "1080x1920", "1280x1024", "1280x800",  "1366x768",
                                 "1440x900",  "1600x1200", "1680x1050", "1920x1080", "1920x1200",
                                 "2560x1440", "2560x1600", "3200x1800", "3200x2000", "360x720",
                                 "3840x2160", "440x247",   "5120x2880", "720x1440"};

class WallpaperPackageTest : public ::testing::Test {
protected:
    void SetUp() override {
        folders.wallpapers << root("home/wallpapers") << root("usr/wallpapers");
        folders.lookAndFeel << root("usr/look-and-feel");
        folders.kdeGlobals = root("config/kdeglobals");
        package("usr/wallpapers/Next", true);
    }
    QString root(const QString& path) const {
        return QString::fromStdString(temp.path().string()) + QLatin1Char('/') + path;
    }
    void write(const QString& path, const QByteArray& text) const {
        QDir().mkpath(path.left(path.lastIndexOf(QLatin1Char('/'))));
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(text);
    }
    void package(const QString& path, bool dark) const {
        for (const char* size : nextSizes) {
            write(root(path) + "/contents/images/" + size + ".png", "png");
            if (dark) {
                write(root(path) + "/contents/images_dark/" + size + ".png", "png");
            }
        }
        write(root(path) + "/metadata.json", "{}");
    }
    QString picture(const QString& package, const char* set, const char* size) const {
        return root(package) + "/contents/" + set + "/" + size + ".png";
    }

    testing::TempFolder temp;
    PackageFolders folders;
};

TEST_F(WallpaperPackageTest, ThePictureIsTheOnePlasmaPicksForThePanel) {
    const QString next = root("usr/wallpapers/Next");
    struct Case {
        QSize panel;
        const char* expected;
    };
    // Aspect ratio first, then the width, a smaller picture (scaled up) counting double.
    const Case cases[] = {{{3024, 1964}, "3200x2000"}, {{3456, 2234}, "3200x2000"},
                          {{1920, 1080}, "1920x1080"}, {{2560, 1664}, "2560x1600"},
                          {{1080, 1920}, "1080x1920"}, {{}, "1920x1080"}};
    for (const Case& c : cases) {
        EXPECT_EQ(preferredPictureInPackage(next, c.panel, false),
                  picture("usr/wallpapers/Next", "images", c.expected))
            << c.panel.width() << "x" << c.panel.height();
    }
    EXPECT_EQ(preferredPictureInPackage(next, {3024, 1964}, true),
              picture("usr/wallpapers/Next", "images_dark", "3200x2000"));
    package("usr/wallpapers/LightOnly", false);
    EXPECT_EQ(preferredPictureInPackage(root("usr/wallpapers/LightOnly"), {1920, 1080}, true),
              picture("usr/wallpapers/LightOnly", "images", "1920x1080"));
}

TEST_F(WallpaperPackageTest, AnImageValueNamesAPackageByFolderUrlOrName) {
    const QString next = root("usr/wallpapers/Next");
    EXPECT_EQ(wallpaperPackageFolder("Next", folders), next);
    EXPECT_EQ(wallpaperPackageFolder(next + "/", folders), next);
    EXPECT_EQ(wallpaperPackageFolder("file://" + next + "/", folders), next);
    // The user's own folder comes first.
    package("home/wallpapers/Next", false);
    EXPECT_EQ(wallpaperPackageFolder("Next", folders), root("home/wallpapers/Next"));
    for (const QString& other : {QString("Missing"), picture("usr/wallpapers/Next", "images", "1920x1080"),
                                 QString("https://example.org/Next"), QString(), root("usr")}) {
        EXPECT_EQ(wallpaperPackageFolder(other, folders), std::nullopt) << other.toStdString();
    }
}

TEST_F(WallpaperPackageTest, NoImageMeansTheLookAndFeelsDefaultInItsColourScheme) {
    // Breeze by default, naming Next.
    write(root("usr/look-and-feel/org.kde.breeze.desktop/contents/defaults"),
          "[kdeglobals][General]\nColorScheme=BreezeLight\n\n[Wallpaper]\nImage=Next\n");
    EXPECT_EQ(defaultWallpaperPackage(folders), root("usr/wallpapers/Next"));
    EXPECT_FALSE(prefersDarkPictures(folders));

    // Another look-and-feel with its own package, and a dark colour scheme.
    package("usr/wallpapers/Distro", true);
    write(root("usr/look-and-feel/org.distro.desktop/contents/defaults"),
          "[Wallpaper][$i]\nImage=Distro\n");
    write(folders.kdeGlobals,
          "[Colors:Window]\nBackgroundNormal=32,35,38\n\n[KDE]\nLookAndFeelPackage=org.distro.desktop\n");
    EXPECT_EQ(defaultWallpaperPackage(folders), root("usr/wallpapers/Distro"));
    EXPECT_TRUE(prefersDarkPictures(folders));

    // A look-and-feel naming nothing usable falls back to Next.
    write(root("usr/look-and-feel/org.distro.desktop/contents/defaults"), "[Wallpaper]\nImage=Gone\n");
    EXPECT_EQ(defaultWallpaperPackage(folders), root("usr/wallpapers/Next"));
}

}  // namespace
}  // namespace quillhaven::plasma
