#include "render/wallpaper_processor.h"

#include <malloc.h>

#include <QSaveFile>
#include <QUuid>

#include <filesystem>
#include <memory>
#include <new>
#include <system_error>
#include <thread>

#include "core/translation.h"
#include "core/whole_file_save.h"
#include "render/canvas_geometry.h"
#include "render/canvas_painter.h"
#include "render/image_decoder.h"
#include "render/png_writer.h"
#include "render/render_messages.h"

namespace quillhaven {

namespace {

QString toQString(const std::string& text) {
    return QString::fromStdString(text);
}

// "quillhaven-" + an upper-case random UUID + ".png": a new name for every render, so no
// existing file is ever overwritten.
std::string freshFileName() {
    const QString uuid = QUuid::createUuid().toString(QUuid::WithoutBraces).toUpper();
    return "quillhaven-" + uuid.toStdString() + ".png";
}

// Writes through a temporary file that is renamed into place only when complete, so a
// failed write leaves nothing behind under the final name or any other.
bool writePng(const QImage& canvas, const std::string& path) {
    QSaveFile file(toQString(path));
    if (!file.open(QIODevice::WriteOnly)) {
        return false;
    }
    if (!writeSrgbPng(canvas, file)) {
        file.cancelWriting();
        return false;
    }
    return commitWholeFile(file).succeeded();
}

// Creates the generated folder when missing. Something else in its place (a file, a link
// to nowhere) is named in the error, since a bare system message would not say which path.
std::optional<ProcessingFailure> prepareFolder(const std::string& path) {
    namespace fs = std::filesystem;
    std::error_code error;
    const fs::file_status own = fs::symlink_status(path, error);
    if (fs::is_symlink(own) && !fs::exists(fs::status(path, error))) {
        return ProcessingFailure(std::make_error_code(std::errc::no_such_file_or_directory),
                                 path + translated(render_messages::generatedFolderLinkDangling));
    }
    if (fs::exists(own) && !fs::is_directory(fs::status(path, error))) {
        return ProcessingFailure(std::make_error_code(std::errc::not_a_directory),
                                 path + translated(render_messages::generatedFolderNotAFolder));
    }
    error.clear();
    fs::create_directories(path, error);
    if (error) {
        return ProcessingFailure(error, path + ": " + error.message());
    }
    return std::nullopt;
}

ProcessingResult render(const WallpaperProcessingRequest& request, const Url& outputDirectory) {
    using Error = WallpaperProcessingError;
    const std::optional<CanvasGeometry> geometry = CanvasGeometry::fromRequest(request);
    if (!request.sourceURL.isFileURL()) {
        return ProcessingFailure(Error::unsupportedImage);
    }
    std::optional<QSize> coverSize;
    // The canvas and one working copy of it, both 32-bit, count against the memory budget.
    std::int64_t canvasBytes = 0;
    if (geometry) {
        coverSize = QSize(static_cast<int>(geometry->width), static_cast<int>(geometry->height));
        canvasBytes = geometry->width * geometry->height * 4 * 2;
    }
    ImageDecoder::Decoded decoded =
        ImageDecoder::decodeWithin(toQString(request.sourceURL.path()), coverSize, canvasBytes);
    if (!decoded.image) {
        return ProcessingFailure(decoded.refusal == ImageDecoder::Refusal::overBudget
                                     ? Error::cannotCreateCanvas
                                     : Error::unsupportedImage);
    }
    if (!geometry) {
        return ProcessingFailure(Error::cannotCreateCanvas);
    }
    std::optional<QImage>& picture = decoded.image;
    const QImage canvas = paintWallpaper(std::move(*picture), *geometry);
    picture.reset();
    if (canvas.isNull()) {
        return ProcessingFailure(Error::cannotCreateCanvas);
    }

    // Nothing on disk is touched before this point.
    if (std::optional<ProcessingFailure> failure = prepareFolder(outputDirectory.path())) {
        return *failure;
    }
    const Url output = outputDirectory.appendingPathComponent(freshFileName());
    if (!writePng(canvas, output.path())) {
        return ProcessingFailure(Error::cannotWriteImage);
    }
    return output;
}

}  // namespace

ProcessingResult WallpaperProcessor::processSynchronously(
    const WallpaperProcessingRequest& request) const {
    try {
        return render(request, outputDirectory_);
    } catch (const std::bad_alloc&) {
        return ProcessingFailure(WallpaperProcessingError::cannotCreateCanvas);
    }
}

void WallpaperProcessor::process(const WallpaperProcessingRequest& request, Completion completion,
                                 TaskRunner deliver, TaskRunner runInBackground) const {
    // The job owns copies of everything it needs; the processor holds nothing mutable.
    Task job = [processor = *this, request, completion = std::move(completion),
                deliver = std::move(deliver)]() mutable {
        ProcessingResult result = processor.processSynchronously(request);
        // A render's buffers run to a hundred megabytes or more, and glibc keeps the freed
        // pages of a worker thread's arena for reuse. The app renders rarely and then idles
        // for hours, so they go back to the system at once.
        malloc_trim(0);
        deliver([completion = std::move(completion), result = std::move(result)]() {
            completion(result);
        });
    };
    if (runInBackground) {
        runInBackground(std::move(job));
        return;
    }
    auto shared = std::make_shared<Task>(std::move(job));
    try {
        std::thread([shared] { (*shared)(); }).detach();
    } catch (const std::system_error&) {
        // No thread to be had: render here rather than never answering, since the caller
        // stays busy until its completion runs.
        (*shared)();
    }
}

std::optional<std::size_t> WallpaperProcessor::imageCount(const Url& url) const {
    if (!url.isFileURL()) {
        return std::nullopt;
    }
    const auto count = ImageDecoder::imageCount(toQString(url.path()));
    if (!count) {
        return std::nullopt;
    }
    return static_cast<std::size_t>(*count);
}

}  // namespace quillhaven
