#include "render/area_scaler.h"

#include <algorithm>
#include <cstring>
#include <utility>

namespace quillhaven {

namespace {

constexpr int kWeightBits = 14;
constexpr std::int64_t kWeightOne = std::int64_t{1} << kWeightBits;

// One output index's sources along an axis of `from` source pixels reduced to `to`: output
// i covers [i * from, (i + 1) * from) and source j covers [j * to, (j + 1) * to), in units
// of 1 / (from * to) of the axis. The weights are the overlaps, scaled to 2^14 with
// cumulative rounding so that they always add up to exactly 2^14.
template <typename Visit>
void forEachSource(std::int64_t from, std::int64_t to, std::int64_t output, Visit visit) {
    const std::int64_t begin = output * from;
    const std::int64_t end = begin + from;
    std::int64_t covered = 0;
    std::int64_t given = 0;
    for (std::int64_t j = begin / to; j * to < end; ++j) {
        const std::int64_t overlap = std::min(end, (j + 1) * to) - std::max(begin, j * to);
        covered += overlap;
        const std::int64_t total = (covered * kWeightOne + from / 2) / from;
        visit(static_cast<int>(j), static_cast<std::uint16_t>(total - given));
        given = total;
    }
}

}  // namespace

AreaScaler::AreaScaler(int sourceWidth, int sourceHeight, QImage& destination)
    : destination_(destination), sourceWidth_(sourceWidth), sourceHeight_(sourceHeight) {
    const int width = destination.width();
    const int height = destination.height();

    columns_.resize(static_cast<std::size_t>(width));
    for (int x = 0; x < width; ++x) {
        Span& span = columns_[static_cast<std::size_t>(x)];
        span.weights = static_cast<int>(columnWeights_.size());
        span.first = -1;
        forEachSource(sourceWidth, width, x, [&](int j, std::uint16_t weight) {
            if (span.first < 0) {
                span.first = j;
            }
            ++span.count;
            columnWeights_.push_back(weight);
        });
    }

    rowWeightA_.assign(static_cast<std::size_t>(sourceHeight), 0);
    rowWeightB_.assign(static_cast<std::size_t>(sourceHeight), 0);
    lastSourceRow_.assign(static_cast<std::size_t>(height), 0);
    for (int y = 0; y < height; ++y) {
        forEachSource(sourceHeight, height, y, [&](int j, std::uint16_t weight) {
            const auto row = static_cast<std::size_t>(j);
            // A source row adds first to the output row its top edge lies in (weight A),
            // and what reaches below it to the next output row (weight B).
            const bool startsHere = static_cast<std::int64_t>(j) * height >=
                                    static_cast<std::int64_t>(y) * sourceHeight;
            (startsHere ? rowWeightA_ : rowWeightB_)[row] = weight;
            lastSourceRow_[static_cast<std::size_t>(y)] = j;
        });
    }

    const auto channels = static_cast<std::size_t>(sourceWidth) * 4;
    current_.assign(channels, 0);
    next_.assign(channels, 0);
}

void AreaScaler::reduceRow(const std::uint32_t* sums, std::uint8_t* out) const {
    // The four channels of a pixel in one vector (GCC's vector extension).
    using Pixel = std::uint32_t __attribute__((vector_size(16)));
    const std::uint16_t* weights = columnWeights_.data();
    for (const Span& span : columns_) {
        const std::uint32_t* source = sums + static_cast<std::ptrdiff_t>(span.first) * 4;
        const std::uint16_t* w = weights + span.weights;
        Pixel sum = {0, 0, 0, 0};
        for (int k = 0; k < span.count; ++k, source += 4) {
            Pixel pixel;
            std::memcpy(&pixel, source, sizeof pixel);
            // A vertical sum keeps 8 fractional bits here (at most 255 * 2^8), so that
            // with the horizontal weight's 14 bits it fits 32 bits.
            sum += (pixel >> 6) * std::uint32_t{w[k]};
        }
        sum = (sum + (std::uint32_t{1} << 21)) >> 22;
        out[0] = static_cast<std::uint8_t>(sum[0]);
        out[1] = static_cast<std::uint8_t>(sum[1]);
        out[2] = static_cast<std::uint8_t>(sum[2]);
        out[3] = static_cast<std::uint8_t>(sum[3]);
        out += 4;
    }
}

void AreaScaler::addRow(const std::uint8_t* row) {
    if (sourceRow_ >= sourceHeight_ || finished()) {
        return;
    }
    // Vertical first, on the full source width: contiguous and vectorised. The horizontal
    // reduction then runs once per output row instead of once per source row.
    const auto j = static_cast<std::size_t>(sourceRow_);
    const std::size_t channels = current_.size();
    const std::uint32_t a = rowWeightA_[j];
    const std::uint32_t b = rowWeightB_[j];
    std::uint32_t* current = current_.data();
    if (b == 0) {
        for (std::size_t i = 0; i < channels; ++i) {
            current[i] += row[i] * a;
        }
    } else {
        std::uint32_t* next = next_.data();
        for (std::size_t i = 0; i < channels; ++i) {
            current[i] += row[i] * a;
            next[i] += row[i] * b;
        }
    }
    const int height = destination_.height();
    while (nextOutput_ < height &&
           lastSourceRow_[static_cast<std::size_t>(nextOutput_)] <= sourceRow_) {
        reduceRow(current_.data(), destination_.scanLine(nextOutput_));
        std::swap(current_, next_);
        std::fill(next_.begin(), next_.end(), 0);
        ++nextOutput_;
    }
    ++sourceRow_;
}

}  // namespace quillhaven
