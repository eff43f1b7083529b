#pragma once

// Every in-memory double in one bundle, with the real text colour archive, ready to hand
// to a controller: `FakeDesktop desktop; auto services = desktop.services();`.
// The doubles are shared, so the test keeps access to them after handing them over.

#include <memory>

#include "controller/color_archive.h"
#include "tests/doubles/fake_change_notifier.h"
#include "tests/doubles/fake_display_service.h"
#include "tests/doubles/fake_login_item_service.h"
#include "tests/doubles/fake_workspace.h"
#include "tests/doubles/in_memory_preference_store.h"
#include "tests/doubles/manual_scheduler.h"

namespace quillhaven::testing {

struct FakeDesktop {
    explicit FakeDesktop(
        ManualScheduler::BackgroundMode mode = ManualScheduler::BackgroundMode::threads)
        : scheduler(std::make_shared<ManualScheduler>(mode)) {}

    std::shared_ptr<InMemoryPreferenceStore> defaults = std::make_shared<InMemoryPreferenceStore>();
    std::shared_ptr<FakeWorkspace> workspace = std::make_shared<FakeWorkspace>();
    std::shared_ptr<FakeDisplayService> displays = std::make_shared<FakeDisplayService>();
    std::shared_ptr<ColorArchive> colorArchive = std::make_shared<TextColorArchive>();
    std::shared_ptr<FakeLoginItemService> loginItem = std::make_shared<FakeLoginItemService>();
    std::shared_ptr<ManualScheduler> scheduler;
    std::shared_ptr<FakeChangeNotifier> changes = std::make_shared<FakeChangeNotifier>();

    DesktopServices services() const {
        return DesktopServices{defaults,  workspace, displays, colorArchive,
                               loginItem, scheduler, changes};
    }
};

}  // namespace quillhaven::testing
