#include "controller/stored_preferences.h"

#include "controller/native_settings.h"
#include "controller/preference_keys.h"
#include "core/log.h"

namespace quillhaven {

namespace {

namespace keys = preference_keys;

std::optional<NativePictureSettings> storedSettings(KeyValueStore& store, const char* key) {
    const auto text = store.stringForKey(key);
    if (!text) {
        return std::nullopt;
    }
    auto settings = decodeNativeSettings(*text);
    if (!settings) {
        log::warning(log::Layer::controller,
                     std::string("Stored desktop settings cannot be read: ") + key);
    }
    return settings;
}

std::optional<PreferenceValue> settingsValue(const std::optional<NativePictureSettings>& settings) {
    if (!settings) {
        return std::nullopt;
    }
    return encodeNativeSettings(*settings);
}

// Whether every change reads back from the store as it was made.
bool changesReadBack(const std::vector<PreferenceChange>& changes, KeyValueStore& store) {
    for (const PreferenceChange& change : changes) {
        if (!change.value) {
            if (store.hasObjectForKey(change.key)) {
                return false;
            }
            continue;
        }
        const bool same = std::visit(
            [&](const auto& value) {
                using T = std::decay_t<decltype(value)>;
                if constexpr (std::is_same_v<T, bool>) {
                    return store.hasObjectForKey(change.key) && store.boolForKey(change.key) == value;
                } else if constexpr (std::is_same_v<T, std::int64_t>) {
                    return store.hasObjectForKey(change.key) &&
                           store.integerForKey(change.key) == value;
                } else if constexpr (std::is_same_v<T, std::string>) {
                    return store.stringForKey(change.key) == value;
                } else {
                    return store.dataForKey(change.key) == value;
                }
            },
            *change.value);
        if (!same) {
            return false;
        }
    }
    return true;
}

}  // namespace

StoredPreferences::StoredPreferences(std::shared_ptr<KeyValueStore> store,
                                     std::shared_ptr<ColorArchive> colorArchive)
    : store_(std::move(store)), colorArchive_(std::move(colorArchive)) {}

bool StoredPreferences::isEnabled() {
    return store_->boolForKey(keys::enabled);
}

void StoredPreferences::setEnabled(bool enabled) {
    store_->setBool(enabled, keys::enabled);
}

OriginalRecord StoredPreferences::originalRecord() {
    KeyValueStore& store = *store_;
    OriginalRecord record;
    record.path = store.stringForKey(keys::originalWallpaper);
    // Presence decides, not the value: a stored scaling of 0 or clipping of false is a value.
    if (store.hasObjectForKey(keys::originalImageScaling)) {
        record.options.scaling =
            static_cast<ImageScaling>(store.integerForKey(keys::originalImageScaling));
    }
    if (store.hasObjectForKey(keys::originalAllowClipping)) {
        record.options.allowClipping = store.boolForKey(keys::originalAllowClipping);
    }
    if (const std::optional<Data> data = store.dataForKey(keys::originalFillColor)) {
        record.options.fillColor = colorArchive_->unarchive(*data);
        if (!record.options.fillColor) {
            log::warning(log::Layer::controller,
                         "The recorded fill colour cannot be read; it is left out");
        }
    }
    record.desktopSettings = storedSettings(store, keys::originalDesktopSettings);
    record.appliedSettings = storedSettings(store, keys::appliedDesktopSettings);
    return record;
}

Outcome StoredPreferences::saveOriginalRecord(const OriginalRecord& record,
                                              std::optional<bool> enabled) {
    std::vector<PreferenceChange> changes;
    if (enabled) {
        changes.push_back({keys::enabled, *enabled});
    }
    changes.push_back({keys::originalWallpaper, record.path});
    const DesktopPictureOptions& options = record.options;
    changes.push_back({keys::originalImageScaling,
                       options.scaling ? std::optional<PreferenceValue>(
                                             static_cast<std::int64_t>(*options.scaling))
                                       : std::nullopt});
    changes.push_back({keys::originalAllowClipping,
                       options.allowClipping ? std::optional<PreferenceValue>(*options.allowClipping)
                                             : std::nullopt});
    if (!options.fillColor) {
        changes.push_back({keys::originalFillColor, std::nullopt});
    } else if (std::optional<Data> data = colorArchive_->archive(*options.fillColor)) {
        changes.push_back({keys::originalFillColor, *data});
    } else {
        log::warning(log::Layer::controller,
                     "The fill colour cannot be stored; the recorded one stays as it was");
    }
    changes.push_back({keys::originalDesktopSettings, settingsValue(record.desktopSettings)});
    changes.push_back({keys::appliedDesktopSettings, settingsValue(record.appliedSettings)});
    // Only what differs is written: a save that changes nothing touches no file.
    std::vector<PreferenceChange> differing;
    for (const PreferenceChange& change : changes) {
        if (!changesReadBack({change}, *store_)) {
            differing.push_back(change);
        }
    }
    if (differing.empty()) {
        return Outcome::success();
    }
    store_->setValues(differing);
    if (!changesReadBack(changes, *store_)) {
        return Outcome::failure("the preferences could not be saved");
    }
    return Outcome::success();
}

}  // namespace quillhaven
