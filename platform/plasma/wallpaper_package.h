#pragma once

// Plasma's image wallpaper names either a picture or a wallpaper package: a folder with
// metadata and contents/images/<width>x<height>.<ext> (and often contents/images_dark/). A
// fresh user's desktop names nothing at all and shows the look-and-feel's default package.
// This finds the picture Plasma shows in each case, by Plasma's own rules, so that the stock
// wallpapers can be processed like any other picture.

#include <QSize>
#include <QString>
#include <QStringList>
#include <optional>

#include "core/environment.h"

namespace quillhaven::plasma {

// Where Plasma looks: wallpaper packages and look-and-feel packages under each data folder
// ($XDG_DATA_HOME first), and the user's kdeglobals.
struct PackageFolders {
    QStringList wallpapers;   // <data folder>/wallpapers
    QStringList lookAndFeel;  // <data folder>/plasma/look-and-feel
    QString kdeGlobals;

    static PackageFolders forEnvironment(const Environment& environment);
};

// The folder of the package an Image value names: a folder path or a file URL of one that
// holds contents/images, or a bare package name found in the wallpaper folders. None for
// anything else (a picture file, a URL of another scheme, a name found nowhere).
std::optional<QString> wallpaperPackageFolder(const QString& imageValue,
                                              const PackageFolders& folders);

// The package Plasma shows when Image is unset: the one the look-and-feel package
// (kdeglobals [KDE] LookAndFeelPackage, Breeze when unset) names as its default
// ([Wallpaper] Image in contents/defaults), else Breeze's "Next".
std::optional<QString> defaultWallpaperPackage(const PackageFolders& folders);

// Whether Plasma shows a package's dark pictures: the colour scheme's window background
// (kdeglobals [Colors:Window] BackgroundNormal) is dark, as Plasma judges it.
bool prefersDarkPictures(const PackageFolders& folders);

// The picture Plasma picks from a package for a screen of `pixels`: among the images named
// <width>x<height>, the one nearest by Plasma's measure (aspect ratio first, then width,
// scaling up counting double), from images_dark when `dark` and the package has one.
std::optional<QString> preferredPictureInPackage(const QString& folder, QSize pixels, bool dark);

}  // namespace quillhaven::plasma
