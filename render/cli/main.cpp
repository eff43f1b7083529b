// quillhaven-render: renders one picture into a notch wallpaper from the command line.

#include <cmath>
#include <cstdlib>
#include <iostream>
#include <optional>
#include <string>
#include <string_view>

#include "core/app_paths.h"
#include "render/canvas_geometry.h"
#include "render/wallpaper_processor.h"

namespace {

using quillhaven::WallpaperProcessingRequest;
using quillhaven::WallpaperProcessor;

constexpr std::string_view usageText =
    "Usage: quillhaven-render [--size WxH] [--scale S] [--inset POINTS] [--radius POINTS]\n"
    "                         [--output-dir DIR] PICTURE\n"
    "       quillhaven-render --help | --version\n";

constexpr std::string_view helpText =
    "Turns a still picture into a notch wallpaper: the picture covers a canvas of the\n"
    "display's pixel size inside a rounded rectangle, with a black band along the top.\n"
    "Prints the path of the written PNG.\n"
    "\n"
    "Options:\n"
    "  --size WxH         display size in points (default 1512x982)\n"
    "  --scale S          pixels per point (default 2)\n"
    "  --inset POINTS     height of the black band at the top, in points (default 32)\n"
    "  --radius POINTS    corner radius of the picture area, in points (default 16)\n"
    "  --output-dir DIR   folder for the PNG (default: the generated folder,\n"
    "                     $XDG_DATA_HOME/Quillhaven/Generated)\n"
    "  -h, --help         show this help and exit\n"
    "  --version          show the version and exit\n"
    "\n"
    "Options also take the form --option=VALUE.\n"
    "Exit status: 0 on success, 1 when the picture cannot be rendered, 2 on bad arguments.\n";

struct Options {
    double width = 1512;
    double height = 982;
    double scale = 2;
    double inset = 32;
    double radius = 16;
    std::optional<std::string> outputDirectory;
    std::optional<std::string> picture;
    bool help = false;
    bool version = false;
};

std::optional<double> parseNumber(const std::string& text) {
    if (text.empty()) {
        return std::nullopt;
    }
    char* end = nullptr;
    const double value = std::strtod(text.c_str(), &end);
    if (end != text.c_str() + text.size() || !std::isfinite(value)) {
        return std::nullopt;
    }
    return value;
}

bool parseSize(const std::string& text, Options& options) {
    const auto separator = text.find('x');
    if (separator == std::string::npos) {
        return false;
    }
    const auto width = parseNumber(text.substr(0, separator));
    const auto height = parseNumber(text.substr(separator + 1));
    if (!width || !height || *width <= 0 || *height <= 0) {
        return false;
    }
    options.width = *width;
    options.height = *height;
    return true;
}

bool applyOption(const std::string& name, const std::string& value, Options& options) {
    if (name == "--size") {
        return parseSize(value, options);
    }
    if (name == "--output-dir") {
        options.outputDirectory = value;
        return !value.empty();
    }
    const auto number = parseNumber(value);
    if (!number) {
        return false;
    }
    // Ranges are checked once all options are read, by the rule the desktops share.
    if (name == "--scale") {
        options.scale = *number;
    } else if (name == "--inset") {
        options.inset = *number;
    } else if (name == "--radius") {
        options.radius = *number;
    } else {
        return false;
    }
    return true;
}

bool isValueOption(const std::string& name) {
    return name == "--size" || name == "--scale" || name == "--inset" || name == "--radius" ||
           name == "--output-dir";
}

// Parses the arguments; false on anything malformed, unknown or missing.
bool parseArguments(int argc, char** argv, Options& options) {
    bool optionsEnded = false;
    for (int i = 1; i < argc; ++i) {
        const std::string argument = argv[i];
        if (!optionsEnded && (argument == "-h" || argument == "--help")) {
            options.help = true;
            continue;
        }
        if (!optionsEnded && argument == "--version") {
            options.version = true;
            continue;
        }
        if (!optionsEnded && argument == "--") {
            optionsEnded = true;
            continue;
        }
        if (!optionsEnded && argument.size() > 1 && argument.front() == '-') {
            const auto equals = argument.find('=');
            const std::string name = argument.substr(0, equals);
            if (!isValueOption(name)) {
                return false;
            }
            std::string value;
            if (equals != std::string::npos) {
                value = argument.substr(equals + 1);
            } else if (i + 1 < argc) {
                value = argv[++i];
            } else {
                return false;
            }
            if (!applyOption(name, value, options)) {
                return false;
            }
            continue;
        }
        if (options.picture) {
            return false;  // one picture at a time
        }
        options.picture = argument;
    }
    return options.help || options.version || (options.picture && !options.picture->empty());
}

}  // namespace

int main(int argc, char** argv) {
    Options options;
    const bool parsed = parseArguments(argc, argv, options);
    if (options.help) {
        std::cout << usageText << '\n' << helpText;
        return 0;
    }
    if (options.version) {
        std::cout << "quillhaven-render " << QUILLHAVEN_VERSION << '\n';
        return 0;
    }
    if (!parsed) {
        std::cerr << usageText << "Try 'quillhaven-render --help' for more information.\n";
        return 2;
    }
    if (const auto measured = quillhaven::checkDisplayMeasurements(
            options.width, options.height, options.scale, options.inset, options.radius);
        !measured.succeeded()) {
        std::cerr << "quillhaven-render: " << measured.errorDescription() << '\n' << usageText;
        return 2;
    }

    // The app's own generated folder unless another is named.
    const std::string outputDirectory = options.outputDirectory.value_or(
        quillhaven::app_paths::generatedFolder(quillhaven::Environment::process()));
    const WallpaperProcessor processor(quillhaven::Url::directoryURLWithPath(outputDirectory));

    WallpaperProcessingRequest request;
    request.sourceURL = quillhaven::Url::fileURLWithPath(*options.picture);
    request.canvasSizeInPoints = {options.width, options.height};
    request.backingScaleFactor = options.scale;
    request.topInsetInPoints = options.inset;
    request.cornerRadiusInPoints = options.radius;

    const quillhaven::ProcessingResult result = processor.processSynchronously(request);
    if (!result.succeeded()) {
        // The renderer's message says what went wrong; the path says with which file.
        std::cerr << "quillhaven-render: " << *options.picture << ": "
                  << result.error().localizedDescription() << '\n';
        return 1;
    }
    std::cout << result.value().path() << '\n';
    return 0;
}
