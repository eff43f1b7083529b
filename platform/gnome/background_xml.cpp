#include "platform/gnome/background_xml.h"

#include <QFile>
#include <QStringList>
#include <QXmlStreamReader>
#include <cmath>
#include <cstdlib>
#include <ctime>

#include "core/regular_file.h"

namespace quillhaven::gnome {

namespace {

using Stack = QStringList;

bool stackIs(const Stack& stack, std::initializer_list<const char*> path) {
    if (stack.size() != static_cast<qsizetype>(path.size())) {
        return false;
    }
    qsizetype index = 0;
    for (const char* name : path) {
        if (stack.at(index++) != QLatin1String(name)) {
            return false;
        }
    }
    return true;
}

// A picture's size list as GNOME keeps it: the last one written first.
void addPicture(std::vector<SizedPicture>& pictures, SizedPicture picture) {
    pictures.insert(pictures.begin(), std::move(picture));
}

bool namesAnotherXml(const std::string& path) {
    return path.size() >= 4 && (path.compare(path.size() - 4, 4, ".xml") == 0 ||
                                path.compare(path.size() - 4, 4, ".XML") == 0);
}

// GNOME's own reading of a start time: a local time whose hour is counted from 1.
double startSeconds(const std::tm& start) {
    std::tm local = start;
    local.tm_isdst = 0;
    return static_cast<double>(std::mktime(&local));
}

const SizedPicture* bestSize(const std::vector<SizedPicture>& pictures, QSize monitor) {
    const double shape = monitor.width() / static_cast<double>(std::max(1, monitor.height()));
    const SizedPicture* best = nullptr;
    double distance = 10000.0;
    for (int pass = 0; pass < 2 && !best; ++pass) {
        for (const SizedPicture& picture : pictures) {
            if (pass == 0 &&
                (picture.width < monitor.width() || picture.height < monitor.height())) {
                continue;
            }
            const double d = std::fabs(shape - picture.width / static_cast<double>(picture.height));
            if (d < distance) {
                distance = d;
                best = &picture;
            } else if (d == distance && best &&
                       std::abs(picture.width - monitor.width()) <
                           std::abs(best->width - monitor.width())) {
                best = &picture;
            }
        }
    }
    return best;
}

}  // namespace

Result<BackgroundXml> parseBackgroundXml(const QByteArray& text) {
    using Failure = Result<BackgroundXml>;
    if (text.size() > maxXmlFileBytes) {
        return Failure::failure("the file is larger than 1 MiB");
    }
    QXmlStreamReader reader(text);
    BackgroundXml background;
    Stack stack;
    std::tm start{};
    bool hasStart = false;
    while (!reader.atEnd()) {
        switch (reader.readNext()) {
            case QXmlStreamReader::DTD:
            case QXmlStreamReader::EntityReference:
                return Failure::failure("a document type or entity is not allowed");
            case QXmlStreamReader::StartElement: {
                const QString name = reader.name().toString();
                if (stack.size() >= maxXmlDepth) {
                    return Failure::failure("elements nest too deep");
                }
                if (stack.isEmpty() && name != QLatin1String("background")) {
                    return Failure::failure("the document is not a background");
                }
                if (!stack.isEmpty() && name == QLatin1String("background")) {
                    return Failure::failure("a background inside a background");
                }
                if (stackIs(stack, {"background"}) &&
                    (name == QLatin1String("static") || name == QLatin1String("transition"))) {
                    if (background.slides.size() >= maxXmlSlides) {
                        return Failure::failure("more than 1000 slides");
                    }
                    background.slides.emplace_back();
                }
                if (name == QLatin1String("starttime")) {
                    hasStart = true;
                }
                if (name == QLatin1String("size") && !background.slides.empty()) {
                    Slide& slide = background.slides.back();
                    auto& pictures = stack.endsWith(QStringLiteral("to")) ? slide.to : slide.from;
                    if (pictures.size() >= maxXmlSizes) {
                        return Failure::failure("more than 64 sizes of one picture");
                    }
                    const auto attributes = reader.attributes();
                    const int width = attributes.value(QLatin1String("width")).toInt();
                    const int height = attributes.value(QLatin1String("height")).toInt();
                    if (width <= 0 || height <= 0) {
                        return Failure::failure("a size without a width and a height");
                    }
                    addPicture(pictures, SizedPicture{width, height, {}});
                }
                stack.append(name);
                break;
            }
            case QXmlStreamReader::EndElement:
                stack.removeLast();
                break;
            case QXmlStreamReader::Characters: {
                const QString value = reader.text().toString().trimmed();
                if (value.isEmpty()) {
                    break;
                }
                const int number = value.toInt();
                if (stackIs(stack, {"background", "starttime", "year"})) {
                    start.tm_year = number - 1900;
                } else if (stackIs(stack, {"background", "starttime", "month"})) {
                    start.tm_mon = number - 1;
                } else if (stackIs(stack, {"background", "starttime", "day"})) {
                    start.tm_mday = number;
                } else if (stackIs(stack, {"background", "starttime", "hour"})) {
                    start.tm_hour = number - 1;
                } else if (stackIs(stack, {"background", "starttime", "minute"})) {
                    start.tm_min = number;
                } else if (stackIs(stack, {"background", "starttime", "second"})) {
                    start.tm_sec = number;
                } else if (background.slides.empty()) {
                    break;
                } else if (stackIs(stack, {"background", "static", "duration"}) ||
                           stackIs(stack, {"background", "transition", "duration"})) {
                    background.slides.back().duration = value.toDouble();
                } else if (stackIs(stack, {"background", "static", "file"}) ||
                           stackIs(stack, {"background", "transition", "from"})) {
                    addPicture(background.slides.back().from, {-1, -1, value.toStdString()});
                } else if (stackIs(stack, {"background", "transition", "to"})) {
                    addPicture(background.slides.back().to, {-1, -1, value.toStdString()});
                } else if (stackIs(stack, {"background", "static", "file", "size"}) ||
                           stackIs(stack, {"background", "transition", "from", "size"})) {
                    background.slides.back().from.front().path = value.toStdString();
                } else if (stackIs(stack, {"background", "transition", "to", "size"})) {
                    background.slides.back().to.front().path = value.toStdString();
                }
                break;
            }
            default:
                break;
        }
    }
    if (reader.hasError()) {
        return Failure::failure("malformed XML: " + reader.errorString().toStdString());
    }
    double total = 0;
    for (const Slide& slide : background.slides) {
        if (slide.from.empty() || !(slide.duration > 0) || !std::isfinite(slide.duration)) {
            return Failure::failure("a slide without a picture or a duration");
        }
        for (const auto* pictures : {&slide.from, &slide.to}) {
            for (const SizedPicture& picture : *pictures) {
                if (picture.path.empty()) {
                    return Failure::failure("a size without a picture");
                }
                if (namesAnotherXml(picture.path)) {
                    return Failure::failure("a slide names another XML background");
                }
            }
        }
        total += slide.duration;
    }
    if (background.slides.empty() || !std::isfinite(total)) {
        return Failure::failure("no slide");
    }
    if (hasStart) {
        background.startTime = startSeconds(start);
    }
    return background;
}

std::string pictureShown(const BackgroundXml& background, QSize monitor,
                         std::chrono::system_clock::time_point now) {
    double total = 0;
    for (const Slide& slide : background.slides) {
        total += slide.duration;
    }
    const double seconds =
        std::chrono::duration<double>(now.time_since_epoch()).count() - background.startTime.value_or(0);
    double delta = std::fmod(seconds, total);
    if (delta < 0) {
        delta += total;
    }
    double elapsed = 0;
    const Slide* showing = &background.slides.back();
    double progress = 0;
    for (const Slide& slide : background.slides) {
        if (elapsed + slide.duration > delta) {
            showing = &slide;
            progress = (delta - elapsed) / slide.duration;
            break;
        }
        elapsed += slide.duration;
    }
    const bool fadedIn = !showing->to.empty() && progress >= 0.5;
    const SizedPicture* best = bestSize(fadedIn ? showing->to : showing->from, monitor);
    return best ? best->path : std::string();
}

Result<std::string> pictureShownFromFile(const std::string& path, QSize monitor,
                                         std::chrono::system_clock::time_point now) {
    const int fd = openRegularFile(QString::fromStdString(path));
    QFile file;
    if (fd < 0 || !file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        return Result<std::string>::failure("the file cannot be read");
    }
    const QByteArray text = file.read(maxXmlFileBytes + 1);
    Result<BackgroundXml> background = parseBackgroundXml(text);
    if (!background.succeeded()) {
        return Result<std::string>::failure(background.error());
    }
    return pictureShown(background.value(), monitor, now);
}

}  // namespace quillhaven::gnome
