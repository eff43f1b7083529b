#include "tests/doubles/in_memory_preference_store.h"

namespace quillhaven::testing {

bool InMemoryPreferenceStore::boolForKey(const std::string& key) {
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

std::int64_t InMemoryPreferenceStore::integerForKey(const std::string& key) {
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

std::optional<std::string> InMemoryPreferenceStore::stringForKey(const std::string& key) {
    auto it = values_.find(key);
    if (it == values_.end()) {
        return std::nullopt;
    }
    if (auto* s = std::get_if<std::string>(&it->second)) {
        return *s;
    }
    return std::nullopt;
}

std::optional<Data> InMemoryPreferenceStore::dataForKey(const std::string& key) {
    auto it = values_.find(key);
    if (it == values_.end()) {
        return std::nullopt;
    }
    if (auto* d = std::get_if<Data>(&it->second)) {
        return *d;
    }
    return std::nullopt;
}

bool InMemoryPreferenceStore::hasObjectForKey(const std::string& key) {
    return contains(key);
}

void InMemoryPreferenceStore::setBool(bool value, const std::string& key) {
    store(key, value);
}

void InMemoryPreferenceStore::setInteger(std::int64_t value, const std::string& key) {
    store(key, value);
}

void InMemoryPreferenceStore::setString(const std::string& value, const std::string& key) {
    store(key, value);
}

void InMemoryPreferenceStore::setData(const Data& value, const std::string& key) {
    store(key, value);
}

void InMemoryPreferenceStore::removeObject(const std::string& key) {
    if (!failsWrites_) {
        values_.erase(key);
    }
    writes_.push_back(Write{Write::Kind::remove, key, std::nullopt});
}

void InMemoryPreferenceStore::setValues(const std::vector<PreferenceChange>& changes) {
    // Logged one by one, in order; a failing store drops them all together.
    for (const PreferenceChange& change : changes) {
        if (change.value) {
            store(change.key, *change.value);
        } else {
            removeObject(change.key);
        }
    }
}

void InMemoryPreferenceStore::store(const std::string& key, Value value) {
    if (!failsWrites_) {
        values_[key] = value;
    }
    writes_.push_back(Write{Write::Kind::set, key, std::move(value)});
}

std::set<std::string> InMemoryPreferenceStore::keys() const {
    std::set<std::string> result;
    for (const auto& [key, value] : values_) {
        result.insert(key);
    }
    return result;
}

std::optional<InMemoryPreferenceStore::ValueType> InMemoryPreferenceStore::typeOf(
    const std::string& key) const {
    auto it = values_.find(key);
    if (it == values_.end()) {
        return std::nullopt;
    }
    return static_cast<ValueType>(it->second.index());
}

std::optional<InMemoryPreferenceStore::Value> InMemoryPreferenceStore::value(
    const std::string& key) const {
    auto it = values_.find(key);
    if (it == values_.end()) {
        return std::nullopt;
    }
    return it->second;
}

}  // namespace quillhaven::testing
