#include "desktop_services.h"

#include <cmath>
#include <limits>

namespace quillhaven {

namespace {

struct IntegerReading {
    std::int64_t operator()(std::int64_t value) const { return value; }
    std::int64_t operator()(bool value) const { return value ? 1 : 0; }
    std::int64_t operator()(double value) const {
        // Truncation toward zero; values a 64-bit integer cannot hold saturate, and NaN
        // reads as 0, rather than being undefined.
        using Limits = std::numeric_limits<std::int64_t>;
        if (std::isnan(value)) {
            return 0;
        }
        if (value >= 9223372036854775808.0) {
            return Limits::max();
        }
        if (value < -9223372036854775808.0) {
            return Limits::min();
        }
        return static_cast<std::int64_t>(value);
    }
};

struct BoolReading {
    bool operator()(std::int64_t value) const { return value != 0; }
    bool operator()(bool value) const { return value; }
    bool operator()(double value) const { return value != 0; }
};

}  // namespace

std::int64_t BoxedNumber::integerValue() const {
    return std::visit(IntegerReading{}, value);
}

bool BoxedNumber::boolValue() const {
    return std::visit(BoolReading{}, value);
}

}  // namespace quillhaven
