#include "wallpaper_processor.h"

namespace quillhaven {

std::string errorDescription(WallpaperProcessingError error) {
    switch (error) {
        case WallpaperProcessingError::unsupportedImage:
            return "この壁紙は静止画として読み込めません";
        case WallpaperProcessingError::cannotCreateCanvas:
            return "壁紙を加工するための画像を作成できません";
        case WallpaperProcessingError::cannotWriteImage:
            return "加工した壁紙を保存できません";
    }
    return {};
}

ProcessingFailure::ProcessingFailure(WallpaperProcessingError error)
    : error_(error), description_(errorDescription(error)) {}

ProcessingFailure::ProcessingFailure(std::error_code fileSystemError, std::string description)
    : fileSystemError_(fileSystemError), description_(std::move(description)) {}

}  // namespace quillhaven
