#pragma once

// The renderer's public interface. It uses plain C++ types only so that the GUI-free
// controller can include it; the Qt-based implementation stays in the .cpp files.

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <system_error>

#include "core/result.h"
#include "core/task.h"
#include "core/url.h"

namespace quillhaven {

struct CanvasSize {
    double width = 0;
    double height = 0;
    friend bool operator==(const CanvasSize&, const CanvasSize&) = default;
};

// Everything the renderer needs to know about one job. Sizes are in display points; the
// scale is pixels per point.
struct WallpaperProcessingRequest {
    Url sourceURL;
    CanvasSize canvasSizeInPoints;
    double backingScaleFactor = 1;
    double topInsetInPoints = 0;
    double cornerRadiusInPoints = 0;
    friend bool operator==(const WallpaperProcessingRequest&,
                           const WallpaperProcessingRequest&) = default;
};

enum class WallpaperProcessingError { unsupportedImage, cannotCreateCanvas, cannotWriteImage };

// The fixed user-facing message of each error, which is also its localized description.
std::string errorDescription(WallpaperProcessingError error);

// Why a render failed: one of the renderer's own errors, or a file-system error passed
// through unchanged (the generated folder could not be created).
class ProcessingFailure {
public:
    explicit ProcessingFailure(WallpaperProcessingError error);
    ProcessingFailure(std::error_code fileSystemError, std::string description);

    // The renderer's own error, or none for a file-system error.
    const std::optional<WallpaperProcessingError>& processingError() const { return error_; }
    // The file-system error; empty for the renderer's own errors.
    const std::error_code& fileSystemError() const { return fileSystemError_; }
    // The text shown to the user.
    const std::string& localizedDescription() const { return description_; }

private:
    std::optional<WallpaperProcessingError> error_;
    std::error_code fileSystemError_;
    std::string description_;
};

// The outcome of one render: the URL of the written PNG, or the failure.
using ProcessingResult = Result<Url, ProcessingFailure>;

// Renders wallpapers into the generated folder and manages that folder. Immutable after
// construction and safe to share between threads.
class WallpaperProcessor {
public:
    using Completion = std::function<void(ProcessingResult)>;

    // The app's generated folder comes from platform/paths/app_paths.h. Construction touches
    // nothing on disk.
    explicit WallpaperProcessor(Url outputDirectory);

    const Url& outputDirectory() const { return outputDirectory_; }

    // Renders on the calling thread and returns the written file or the failure.
    ProcessingResult processSynchronously(const WallpaperProcessingRequest& request) const;

    // Renders off the caller's thread. The work runs through `runInBackground` (a new
    // detached thread when none is given); once it ends, `deliver` is handed a task that
    // calls `completion` with the result, so the completion runs wherever `deliver` puts
    // it, typically the caller's main loop. Nothing cancels a render once started.
    void process(const WallpaperProcessingRequest& request, Completion completion,
                 TaskRunner deliver, TaskRunner runInBackground = {}) const;

    // Whether the URL lies inside the generated folder (lexically, after standardizing).
    bool isGeneratedWallpaper(const Url& url) const;

    // Removes the renderer's own files from the generated folder (regular files named like
    // its output or its temporary files) except `keeping`. Other entries, links and folders
    // stay, and a folder that is itself a link is left alone. Never fails: a missing folder
    // or a file that cannot be removed is skipped, with a warning in the log.
    void removeOldGeneratedWallpapers(const std::optional<Url>& keeping) const;

    // The number of images the file holds, without decoding pixels: 0 for a file in no
    // picture format (an XML slideshow, say), none when it cannot be opened or is a picture
    // that cannot be read. A still picture holds exactly one.
    std::optional<std::size_t> imageCount(const Url& url) const;

private:
    Url outputDirectory_;
};

}  // namespace quillhaven
