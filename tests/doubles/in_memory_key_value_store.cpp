#include "tests/doubles/in_memory_key_value_store.h"

namespace quillhaven::testing {

bool InMemoryKeyValueStore::boolForKey(const std::string& key) {
    auto it = values_.find(key);
    if (it == values_.end()) {
        return false;
    }
    if (auto* b = std::get_if<bool>(&it->second)) {
        return *b;
    }
    if (auto* i = std::get_if<std::int64_t>(&it->second)) {
        return *i != 0;
    }
    return false;
}

std::int64_t InMemoryKeyValueStore::integerForKey(const std::string& key) {
    auto it = values_.find(key);
    if (it == values_.end()) {
        return 0;
    }
    if (auto* i = std::get_if<std::int64_t>(&it->second)) {
        return *i;
    }
    if (auto* b = std::get_if<bool>(&it->second)) {
        return *b ? 1 : 0;
    }
    return 0;
}

std::optional<std::string> InMemoryKeyValueStore::stringForKey(const std::string& key) {
    auto it = values_.find(key);
    if (it == values_.end()) {
        return std::nullopt;
    }
    if (auto* s = std::get_if<std::string>(&it->second)) {
        return *s;
    }
    return std::nullopt;
}

std::optional<Data> InMemoryKeyValueStore::dataForKey(const std::string& key) {
    auto it = values_.find(key);
    if (it == values_.end()) {
        return std::nullopt;
    }
    if (auto* d = std::get_if<Data>(&it->second)) {
        return *d;
    }
    return std::nullopt;
}

bool InMemoryKeyValueStore::hasObjectForKey(const std::string& key) {
    return contains(key);
}

void InMemoryKeyValueStore::setBool(bool value, const std::string& key) {
    store(key, value);
}

void InMemoryKeyValueStore::setInteger(std::int64_t value, const std::string& key) {
    store(key, value);
}

void InMemoryKeyValueStore::setString(const std::string& value, const std::string& key) {
    store(key, value);
}

void InMemoryKeyValueStore::setData(const Data& value, const std::string& key) {
    store(key, value);
}

void InMemoryKeyValueStore::removeObject(const std::string& key) {
    if (!failsWrites_) {
        values_.erase(key);
    }
    writes_.push_back(Write{Write::Kind::remove, key, std::nullopt});
}

void InMemoryKeyValueStore::setValues(const std::vector<PreferenceChange>& changes) {
    // Logged one by one, in order; a failing store drops them all together.
    for (const PreferenceChange& change : changes) {
        if (change.value) {
            store(change.key, *change.value);
        } else {
            removeObject(change.key);
        }
    }
}

void InMemoryKeyValueStore::store(const std::string& key, Value value) {
    if (!failsWrites_) {
        values_[key] = value;
    }
    writes_.push_back(Write{Write::Kind::set, key, std::move(value)});
}

std::set<std::string> InMemoryKeyValueStore::keys() const {
    std::set<std::string> result;
    for (const auto& [key, value] : values_) {
        result.insert(key);
    }
    return result;
}

std::optional<InMemoryKeyValueStore::ValueType> InMemoryKeyValueStore::typeOf(
    const std::string& key) const {
    auto it = values_.find(key);
    if (it == values_.end()) {
        return std::nullopt;
    }
    return static_cast<ValueType>(it->second.index());
}

std::optional<InMemoryKeyValueStore::Value> InMemoryKeyValueStore::value(
    const std::string& key) const {
    auto it = values_.find(key);
    if (it == values_.end()) {
        return std::nullopt;
    }
    return it->second;
}

}  // namespace quillhaven::testing
