#include "controller/original_record.h"

#include <filesystem>
#include <system_error>

namespace quillhaven {

RecordedOriginal classifyRecordedPath(const OriginalRecord& record) {
    if (!record.path) {
        return {};
    }
    const std::string& path = *record.path;
    // Only an absolute path is a picture: a relative one would be resolved against whatever
    // folder the app happens to run in, and a URL text names nothing local.
    if (path.empty() || path.front() != '/') {
        return {RecordedOriginal::State::unusable, path};
    }
    std::error_code error;
    if (!std::filesystem::exists(path, error)) {
        return {RecordedOriginal::State::missing, path};
    }
    return {RecordedOriginal::State::usable, path};
}

DesktopPictureOptions withOptionsOf(DesktopPictureOptions recorded,
                                    const DesktopPictureOptions& options) {
    if (options.scaling) {
        recorded.scaling = options.scaling;
    }
    if (options.allowClipping) {
        recorded.allowClipping = options.allowClipping;
    }
    if (options.fillColor) {
        recorded.fillColor = options.fillColor;
    }
    return recorded;
}

DesktopPictureOptions withoutValuesOf(DesktopPictureOptions options,
                                      const DesktopPictureOptions& ours) {
    if (options.scaling == ours.scaling && options.allowClipping == ours.allowClipping) {
        options.scaling.reset();
        options.allowClipping.reset();
    }
    if (options.fillColor == ours.fillColor) {
        options.fillColor.reset();
    }
    return options;
}

}  // namespace quillhaven
