#pragma once

// The displays of the running graphical session, read from QScreen on every call, with the
// notch found on the built-in panel (or given by QUILLHAVEN_NOTCH_HEIGHT).

#include <vector>

#include "controller/desktop_services.h"
#include "platform/displays/notch_detection.h"

namespace quillhaven {

class QScreenDisplayService : public DisplayService {
public:
    explicit QScreenDisplayService(NotchSources sources = {});
    std::vector<Display> screens() override;

private:
    NotchSources sources_;
};

}  // namespace quillhaven
