#pragma once

// Keys and values held in memory, under the typed preferences in tests. Values keep the type
// they were written with, so a test can see exactly which keys are present and of which type.
// Reads follow the store's absent-key rules: false for booleans, 0 for integers, none for
// strings and data. A read of another type converts as a platform store does: booleans and
// integers read as each other (non-zero is true); strings and data are never converted. Every
// write and removal is logged in order, including those a failing store drops.

#include <cstdint>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <variant>
#include <vector>

#include "controller/key_value_store.h"

namespace quillhaven::testing {

class InMemoryKeyValueStore : public KeyValueStore {
public:
    enum class ValueType { boolean, integer, string, data };
    using Value = PreferenceValue;

    struct Write {
        enum class Kind { set, remove } kind;
        std::string key;
        std::optional<Value> value;  // none for a removal
        friend bool operator==(const Write&, const Write&) = default;
    };

    // ---- KeyValueStore ----
    bool boolForKey(const std::string& key) override;
    std::int64_t integerForKey(const std::string& key) override;
    std::optional<std::string> stringForKey(const std::string& key) override;
    std::optional<Data> dataForKey(const std::string& key) override;
    bool hasObjectForKey(const std::string& key) override;
    void setBool(bool value, const std::string& key) override;
    void setInteger(std::int64_t value, const std::string& key) override;
    void setString(const std::string& value, const std::string& key) override;
    void setData(const Data& value, const std::string& key) override;
    void removeObject(const std::string& key) override;
    void setValues(const std::vector<PreferenceChange>& changes) override;

    // ---- Inspection ----
    std::set<std::string> keys() const;
    bool contains(const std::string& key) const { return values_.count(key) != 0; }
    std::optional<ValueType> typeOf(const std::string& key) const;
    std::optional<Value> value(const std::string& key) const;
    const std::vector<Write>& writes() const { return writes_; }
    void clearWrites() { writes_.clear(); }
    // While set, writes and removals are dropped, as by a store on a full disk.
    void setFailsWrites(bool fails) { failsWrites_ = fails; }

private:
    void store(const std::string& key, Value value);

    std::map<std::string, Value> values_;
    std::vector<Write> writes_;
    bool failsWrites_ = false;
};

}  // namespace quillhaven::testing
