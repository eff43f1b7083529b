#pragma once

// The colour archive used on every platform: a one-line versioned text,
// "quillhaven-color/1 <red> <green> <blue> <alpha>\n", each component written with 17
// significant digits so that it reads back to exactly the same double. Reading is strict:
// anything else (another version, a missing or extra field, trailing bytes, a value that is
// not a finite number) is refused. Non-finite components cannot be archived.

#include "controller/key_value_store.h"

namespace quillhaven {

class TextColorArchive : public ColorArchive {
public:
    std::optional<Data> archive(const Color& color) override;
    std::optional<Color> unarchive(const Data& data) override;
};

}  // namespace quillhaven
