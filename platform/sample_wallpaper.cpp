#include "platform/sample_wallpaper.h"

#include <QFileInfo>
#include <QString>

#include "platform/json_file.h"

namespace quillhaven {

std::string sampleWallpaperPath(const std::string& folder) {
    return folder + "/sample-wallpaper.png";
}

Outcome installSampleWallpaper(const std::string& destinationPath) {
    if (QFileInfo(QString::fromStdString(destinationPath)).isFile()) {
        return Outcome::success();
    }
    return copyFileAtomically(QString::fromLatin1(sampleWallpaperResource), destinationPath);
}

}  // namespace quillhaven
