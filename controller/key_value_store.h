#pragma once

// The storage under the preferences: typed values under string keys, as an INI file or a
// test's memory holds them, and the archive that turns a fill colour into bytes.

#include <cstdint>
#include <optional>
#include <string>
#include <variant>
#include <vector>

#include "controller/desktop_services.h"

namespace quillhaven {

using Data = std::vector<std::uint8_t>;

// One value for the store; none in a change removes the key.
using PreferenceValue = std::variant<bool, std::int64_t, std::string, Data>;
struct PreferenceChange {
    std::string key;
    std::optional<PreferenceValue> value;
};

// Reads of an absent key: false for booleans, 0 for integers, none for strings and data.
class KeyValueStore {
public:
    virtual ~KeyValueStore() = default;
    virtual bool boolForKey(const std::string& key) = 0;
    virtual std::int64_t integerForKey(const std::string& key) = 0;
    virtual std::optional<std::string> stringForKey(const std::string& key) = 0;
    virtual std::optional<Data> dataForKey(const std::string& key) = 0;
    // Whether any value is stored under the key.
    virtual bool hasObjectForKey(const std::string& key) = 0;
    virtual void setBool(bool value, const std::string& key) = 0;
    virtual void setInteger(std::int64_t value, const std::string& key) = 0;
    virtual void setString(const std::string& value, const std::string& key) = 0;
    virtual void setData(const Data& value, const std::string& key) = 0;
    virtual void removeObject(const std::string& key) = 0;
    // Makes all the changes in one save: either every one of them lands or none does.
    virtual void setValues(const std::vector<PreferenceChange>& changes) = 0;
};

// Turns a fill colour into bytes for the store and back. Any encoding serves that returns
// the colour unchanged.
class ColorArchive {
public:
    virtual ~ColorArchive() = default;
    virtual std::optional<Data> archive(const Color& color) = 0;
    virtual std::optional<Color> unarchive(const Data& data) = 0;
};

}  // namespace quillhaven
