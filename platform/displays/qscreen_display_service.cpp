#include "platform/displays/qscreen_display_service.h"

#include <QGuiApplication>
#include <QScreen>

#include "platform/displays/display_mapping.h"

namespace quillhaven {

QScreenDisplayService::QScreenDisplayService(NotchSources sources) : sources_(std::move(sources)) {}

std::vector<Display> QScreenDisplayService::screens() {
    std::vector<ScreenDescription> descriptions;
    const QScreen* primary = QGuiApplication::primaryScreen();
    for (const QScreen* screen : QGuiApplication::screens()) {
        const QRect geometry = screen->geometry();
        descriptions.push_back(ScreenDescription{
            screen->name().toStdString(), static_cast<double>(geometry.x()),
            static_cast<double>(geometry.y()), static_cast<double>(geometry.width()),
            static_cast<double>(geometry.height()), screen->devicePixelRatio(), screen == primary});
    }
    NotchHeights notch;
    // Read afresh each time: the rows can be switched on by a reboot with another parameter
    // and the override can differ between runs; both are a handful of tiny reads.
    notch.builtInPanel = detectBuiltInNotchHeight(sources_);
    const QByteArray override = qgetenv(notchHeightOverrideVariable);
    if (!override.isEmpty()) {
        notch.override =
            parseNotchHeightOverride(std::string_view(override.constData(), override.size()));
    }
    return mapScreensToDisplays(descriptions, notch);
}

}  // namespace quillhaven
