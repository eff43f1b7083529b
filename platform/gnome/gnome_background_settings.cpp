#include "platform/gnome/gnome_background_settings.h"

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <iterator>
#include <mutex>
#include <system_error>
#include <thread>

namespace quillhaven::gnome {
namespace {

constexpr const char* pictureUriKey = "picture-uri";
constexpr const char* pictureUriDarkKey = "picture-uri-dark";
constexpr const char* pictureOptionsKey = "picture-options";
constexpr const char* primaryColorKey = "primary-color";

struct KeyField {
    const char* key;
    std::optional<std::string> BackgroundValues::*member;
};

const KeyField keyFields[] = {
    {pictureUriKey, &BackgroundValues::pictureUri},
    {pictureUriDarkKey, &BackgroundValues::pictureUriDark},
    {pictureOptionsKey, &BackgroundValues::pictureOptions},
    {primaryColorKey, &BackgroundValues::primaryColor},
};

SchemaPtr lookUp(const char* id) {
    GSettingsSchemaSource* source = g_settings_schema_source_get_default();
    if (!source) {
        return nullptr;  // no schema folder at all
    }
    return SchemaPtr(g_settings_schema_source_lookup(source, id, TRUE));
}

std::string takeString(gchar* text) {
    std::string value(text ? text : "");
    g_free(text);
    return value;
}

// Waits until the settings backend has taken the pending writes, but at most `limit`.
// g_settings_sync() waits for dconf-service, and a stopped service would hold the main
// thread for the bus's 25-second timeout; so the wait runs on a worker, which may outlive
// a time-out (it ends when the bus gives up). While one such worker still waits, later
// calls answer false at once instead of piling up more.
bool syncWithin(std::chrono::milliseconds limit) {
    struct Wait {
        std::mutex mutex;
        std::condition_variable done;
        bool finished = false;
    };
    static std::atomic<bool> stalled{false};
    if (stalled.load()) {
        return false;
    }
    auto wait = std::make_shared<Wait>();
    try {
        std::thread([wait] {
            g_settings_sync();
            {
                std::lock_guard<std::mutex> lock(wait->mutex);
                wait->finished = true;
            }
            wait->done.notify_all();
            stalled.store(false);
        }).detach();
    } catch (const std::system_error&) {
        g_settings_sync();
        return true;
    }
    std::unique_lock<std::mutex> lock(wait->mutex);
    if (wait->done.wait_for(lock, limit, [&] { return wait->finished; })) {
        return true;
    }
    stalled.store(true);
    return false;
}

}  // namespace

std::unique_ptr<BackgroundSettings> BackgroundSettings::open() {
    SchemaPtr background = lookUp(backgroundSchemaId);
    if (!background) {
        return nullptr;
    }
    std::unique_ptr<BackgroundSettings> settings(
        new BackgroundSettings(std::move(background), lookUp(interfaceSchemaId)));
    if (!settings->has(pictureUriKey)) {
        return nullptr;
    }
    return settings;
}

BackgroundSettings::BackgroundSettings(SchemaPtr background, SchemaPtr interface)
    : backgroundSchema_(std::move(background)),
      background_(g_settings_new_full(backgroundSchema_.get(), nullptr, nullptr)) {
    if (interface && g_settings_schema_has_key(interface.get(), "color-scheme")) {
        interface_.reset(g_settings_new_full(interface.get(), nullptr, nullptr));
    }
}

BackgroundSettings::~BackgroundSettings() {
    // Signals stay connected for the objects' lifetime otherwise; they must not reach a
    // destroyed callback.
    for (GSettings* settings : {background_.get(), interface_.get()}) {
        if (settings) {
            g_signal_handlers_disconnect_by_data(settings, this);
        }
    }
}

void BackgroundSettings::onChange(std::function<void()> changed) {
    const bool connected = static_cast<bool>(changed_);
    changed_ = std::move(changed);
    if (connected) {
        return;
    }
    auto relay = +[](GSettings*, gchar*, gpointer self) {
        auto& callback = static_cast<BackgroundSettings*>(self)->changed_;
        if (callback) {
            callback();
        }
    };
    g_signal_connect(background_.get(), "changed", G_CALLBACK(relay), this);
    if (interface_) {
        g_signal_connect(interface_.get(), "changed::color-scheme", G_CALLBACK(relay), this);
    }
    // GSettings signals a change of a key only once the key has been read with a handler
    // connected (dconf subscribes lazily), so every watched key is read once now.
    static_cast<void>(read());
    static_cast<void>(prefersDark());
}

bool BackgroundSettings::has(const char* key) const {
    // Every key read here is text (an enumerated key is stored as its nick); a key of any
    // other type would make the string calls fail, so it counts as missing.
    if (!g_settings_schema_has_key(backgroundSchema_.get(), key)) {
        return false;
    }
    GSettingsSchemaKey* schemaKey = g_settings_schema_get_key(backgroundSchema_.get(), key);
    const GVariantType* type = g_settings_schema_key_get_value_type(schemaKey);
    const bool isText =
        g_variant_type_get_string_length(type) == 1 && g_variant_type_peek_string(type)[0] == 's';
    g_settings_schema_key_unref(schemaKey);
    return isText;
}

BackgroundValues BackgroundSettings::read() const {
    BackgroundValues values;
    for (const auto& field : keyFields) {
        if (has(field.key)) {
            // Enumerated keys (picture-options) read as their nick.
            values.*field.member = takeString(g_settings_get_string(background_.get(), field.key));
        }
    }
    return values;
}

std::map<std::string, std::optional<std::string>> BackgroundSettings::readUserValues() const {
    std::map<std::string, std::optional<std::string>> values;
    for (const auto& field : keyFields) {
        if (!has(field.key)) {
            continue;
        }
        std::optional<std::string>& value = values[field.key];
        if (GVariant* user = g_settings_get_user_value(background_.get(), field.key)) {
            if (g_variant_is_of_type(user, G_VARIANT_TYPE_STRING)) {
                value = g_variant_get_string(user, nullptr);
            }
            g_variant_unref(user);
        }
    }
    return values;
}

SettingsWrite BackgroundSettings::restoreUserValues(
    const std::map<std::string, std::optional<std::string>>& values) const {
    for (const auto& entry : values) {
        // A named variable, not a structured binding: clang 14 cannot capture those.
        const std::string& name = entry.first;
        const bool known = std::any_of(std::begin(keyFields), std::end(keyFields),
                                       [&](const KeyField& field) { return name == field.key; });
        if (!known || !has(name.c_str())) {
            return SettingsWrite::unknownKey;
        }
    }
    SettingsPtr batch(g_settings_new_full(backgroundSchema_.get(), nullptr, nullptr));
    g_settings_delay(batch.get());
    for (const auto& [name, value] : values) {
        if (value) {
            g_settings_set_string(batch.get(), name.c_str(), value->c_str());
        } else {
            // Unset again, so the key follows its default as it did before.
            g_settings_reset(batch.get(), name.c_str());
        }
    }
    g_settings_apply(batch.get());
    return syncWithin(syncLimit) ? SettingsWrite::taken : SettingsWrite::notConfirmed;
}

bool BackgroundSettings::isLocked() const {
    for (const auto& field : keyFields) {
        if (has(field.key) && !g_settings_is_writable(background_.get(), field.key)) {
            return true;
        }
    }
    return false;
}

bool BackgroundSettings::prefersDark() const {
    if (!interface_ || !has(pictureUriDarkKey)) {
        return false;
    }
    return takeString(g_settings_get_string(interface_.get(), "color-scheme")) == "prefer-dark";
}

bool BackgroundSettings::canWrite(const BackgroundValues& values) const {
    for (const auto& field : keyFields) {
        if (values.*field.member && has(field.key) &&
            !g_settings_is_writable(background_.get(), field.key)) {
            return false;
        }
    }
    return true;
}

SettingsWrite BackgroundSettings::write(const BackgroundValues& values) const {
    // A separate object, because delay mode cannot be switched off again.
    SettingsPtr batch(g_settings_new_full(backgroundSchema_.get(), nullptr, nullptr));
    g_settings_delay(batch.get());
    for (const auto& field : keyFields) {
        if (const auto& value = values.*field.member; value && has(field.key)) {
            g_settings_set_string(batch.get(), field.key, value->c_str());
        }
    }
    g_settings_apply(batch.get());
    return syncWithin(syncLimit) ? SettingsWrite::taken : SettingsWrite::notConfirmed;
}

}  // namespace quillhaven::gnome
