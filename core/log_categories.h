#pragma once

// The Qt logging category of each layer; see core/log.h.

#include <QLoggingCategory>

namespace quillhaven {

Q_DECLARE_LOGGING_CATEGORY(logRender)
Q_DECLARE_LOGGING_CATEGORY(logController)
Q_DECLARE_LOGGING_CATEGORY(logPlatform)
Q_DECLARE_LOGGING_CATEGORY(logShell)

}  // namespace quillhaven
