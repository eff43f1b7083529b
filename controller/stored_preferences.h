#pragma once

// The preferences as keys and values (controller/preference_keys.h): the enabled flag, the
// four keys every version has written for the user's picture (path, scaling, clipping,
// archived colour), and the desktop's own settings beside them as text. Records written by
// any earlier version read back the same, and a record is written in exactly their keys.

#include <memory>

#include "controller/desktop_services.h"
#include "controller/key_value_store.h"

namespace quillhaven {

class StoredPreferences : public PreferenceStore {
public:
    StoredPreferences(std::shared_ptr<KeyValueStore> store,
                      std::shared_ptr<ColorArchive> colorArchive);

    bool isEnabled() override;
    void setEnabled(bool enabled) override;
    OriginalRecord originalRecord() override;
    // A colour the archive cannot hold leaves the stored one as it was.
    Outcome saveOriginalRecord(const OriginalRecord& record,
                               std::optional<bool> enabled) override;

private:
    std::shared_ptr<KeyValueStore> store_;
    std::shared_ptr<ColorArchive> colorArchive_;
};

}  // namespace quillhaven
