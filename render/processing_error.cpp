#include "core/translation.h"
#include "render/render_messages.h"
#include "render/wallpaper_processor.h"

namespace quillhaven {

std::string errorDescription(WallpaperProcessingError error) {
    switch (error) {
        case WallpaperProcessingError::unsupportedImage:
            return translated(render_messages::unsupportedImage);
        case WallpaperProcessingError::cannotCreateCanvas:
            return translated(render_messages::cannotCreateCanvas);
        case WallpaperProcessingError::cannotWriteImage:
            return translated(render_messages::cannotWriteImage);
    }
    return {};
}

ProcessingFailure::ProcessingFailure(WallpaperProcessingError error)
    : error_(error), description_(errorDescription(error)) {}

ProcessingFailure::ProcessingFailure(std::error_code fileSystemError, std::string description)
    : fileSystemError_(fileSystemError), description_(std::move(description)) {}

}  // namespace quillhaven
