#pragma once

// Diagnostics, one category per layer: quillhaven.render, quillhaven.controller,
// quillhaven.platform and quillhaven.shell. Qt code logs through the categories in
// core/log_categories.h; this plain C++ face serves the controller, which uses no Qt.
// By default our debug and info output is silent (QT_LOGGING_RULES="quillhaven.*=true"
// shows it); warnings, ours and Qt's own, always reach stderr.

#include <string_view>

namespace quillhaven::log {

enum class Layer { render, controller, platform, shell };

void debug(Layer layer, std::string_view text);
// A failure that is handled (the work goes on) but should not pass unseen.
void warning(Layer layer, std::string_view text);

// Silences our debug and info output unless QT_LOGGING_RULES (or a QT_LOGGING_CONF file)
// says otherwise; nothing else is silenced.
void applyDefaultRules();

}  // namespace quillhaven::log
