#pragma once

// Every in-memory double in one bundle, with the real text colour archive, ready to hand
// to a controller: `FakeDesktop desktop; auto services = desktop.services();`.
// The doubles are shared, so the test keeps access to them after handing them over.

#include <memory>

#include "controller/color_archive.h"
#include "controller/stored_preferences.h"
#include "tests/doubles/fake_change_notifier.h"
#include "tests/doubles/fake_display_service.h"
#include "tests/doubles/fake_login_item_service.h"
#include "tests/doubles/fake_workspace.h"
#include "tests/doubles/in_memory_key_value_store.h"
#include "tests/doubles/manual_scheduler.h"

namespace quillhaven::testing {

struct FakeDesktop {
    explicit FakeDesktop(
        ManualScheduler::BackgroundMode mode = ManualScheduler::BackgroundMode::threads)
        : scheduler(std::make_shared<ManualScheduler>(mode)) {}

    std::shared_ptr<InMemoryKeyValueStore> defaults = std::make_shared<InMemoryKeyValueStore>();
    std::shared_ptr<FakeWorkspace> workspace = std::make_shared<FakeWorkspace>();
    std::shared_ptr<FakeDisplayService> displays = std::make_shared<FakeDisplayService>();
    std::shared_ptr<ColorArchive> colorArchive = std::make_shared<TextColorArchive>();
    std::shared_ptr<FakeLoginItemService> loginItem = std::make_shared<FakeLoginItemService>();
    std::shared_ptr<ManualScheduler> scheduler;
    std::shared_ptr<FakeChangeNotifier> changes = std::make_shared<FakeChangeNotifier>();

    // The typed preferences over `defaults`, whose keys a test can read and write directly.
    std::shared_ptr<PreferenceStore> preferences() const {
        return std::make_shared<StoredPreferences>(defaults, colorArchive);
    }

    DesktopServices services() const {
        return DesktopServices{preferences(), workspace, displays, loginItem, scheduler, changes};
    }
};

}  // namespace quillhaven::testing
