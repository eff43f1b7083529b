#pragma once

// Preferences in an INI file read through QSettings:
// $XDG_CONFIG_HOME/Quillhaven/Quillhaven.conf, keys under [General] with their names
// unchanged ("quillHaven.enabled=true").
//
// Every call opens the file afresh, so an edit made by hand shows at the next read (QSettings
// re-reads a file whose time stamp or size has changed). Every write is flushed at once into
// a copy beside the file, read back, and renamed over the old file only when it holds exactly
// what it should, so a reader never sees half a file and a full disk never truncates it. A
// file that cannot be read reads as empty, and a write that cannot be stored is dropped (a
// caller that must know reads the value back). Nothing here throws or crashes.
//
// INI stores text, so values are typed when read:
// - booleans: "true"/"yes"/"on" and non-zero integers are true; everything else is false;
// - integers: decimal 64-bit text; "true"/"false" read 1/0; a decimal fraction is truncated
//   toward zero; anything else (for example "abc" or an out-of-range number) reads 0;
// - strings: any stored text; a value written as data reads none; an unquoted hand-written
//   list ("a, b") reads back joined with ", ";
// - data: only values written as data ("@ByteArray(...)"); text reads none.

#include <QtGlobal>
#include <string>

#include "controller/key_value_store.h"

namespace quillhaven {

class IniPreferenceStore : public KeyValueStore {
public:
    // A larger file, or anything but a regular file in its place, reads as empty and is
    // moved aside (never overwritten) by the next write.
    static constexpr qint64 maxFileBytes = 1024 * 1024;

    explicit IniPreferenceStore(std::string filePath);

    const std::string& filePath() const { return filePath_; }

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

private:
    std::string filePath_;
};

}  // namespace quillhaven
