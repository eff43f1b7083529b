#include "core/log.h"

#include <QString>

#include "core/log_categories.h"

namespace quillhaven {

Q_LOGGING_CATEGORY(logRender, "quillhaven.render")
Q_LOGGING_CATEGORY(logController, "quillhaven.controller")
Q_LOGGING_CATEGORY(logPlatform, "quillhaven.platform")
Q_LOGGING_CATEGORY(logShell, "quillhaven.shell")

namespace log {

namespace {

const QLoggingCategory& categoryOf(Layer layer) {
    switch (layer) {
        case Layer::render:
            return logRender();
        case Layer::controller:
            return logController();
        case Layer::platform:
            return logPlatform();
        case Layer::shell:
            break;
    }
    return logShell();
}

QString textOf(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

}  // namespace

void debug(Layer layer, std::string_view text) {
    qCDebug(categoryOf(layer)).noquote() << textOf(text);
}

void warning(Layer layer, std::string_view text) {
    qCWarning(categoryOf(layer)).noquote() << textOf(text);
}

void applyDefaultRules() {
    // Rules set here rank below QT_LOGGING_CONF and QT_LOGGING_RULES, so the user's win.
    QLoggingCategory::setFilterRules(
        QStringLiteral("quillhaven.*.debug=false\nquillhaven.*.info=false"));
}

}  // namespace log
}  // namespace quillhaven
