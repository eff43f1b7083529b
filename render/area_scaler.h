#pragma once

#include <QImage>

#include <cstdint>
#include <vector>

namespace quillhaven {

// Reduces a picture of 4-byte pixels by area averaging while its rows arrive one by one, so
// the full-size picture never has to exist in memory. Each output pixel is the average of
// the source area it covers, every source pixel weighted by the share of it that lies
// inside (a box filter, the same reduction as QImage's smooth scaling). The four bytes of a
// pixel are averaged independently, so premultiplied pixels stay premultiplied.
//
// Fixed point throughout: each axis's weights add up to exactly 2^14 per output pixel, so
// a uniform area keeps its exact value.
class AreaScaler {
public:
    // `destination` must be at most `sourceWidth` x `sourceHeight` and at least 1 x 1, in a
    // 4-byte format; its rows are written as soon as they are complete. May throw
    // std::bad_alloc (the scaler's own buffers hold two source rows).
    AreaScaler(int sourceWidth, int sourceHeight, QImage& destination);

    // Takes the next source row, `sourceWidth` 4-byte pixels. Allocates nothing.
    void addRow(const std::uint8_t* row);

    // Whether every destination row has been written.
    bool finished() const { return nextOutput_ == destination_.height(); }

private:
    struct Span {
        int first = 0;     // first source index
        int count = 0;     // number of source indices
        int weights = 0;   // offset into the weight table
    };

    // Reduces one row of vertical sums horizontally into 8-bit output pixels.
    void reduceRow(const std::uint32_t* sums, std::uint8_t* out) const;

    QImage& destination_;
    int sourceWidth_;
    int sourceHeight_;
    // Horizontal: one gather span of source columns per output column.
    std::vector<Span> columns_;
    std::vector<std::uint16_t> columnWeights_;
    // Vertical: each source row adds to its first output row (`rowWeightA_`) and possibly
    // to the next one (`rowWeightB_`); `lastSourceRow_` is the row that completes an output.
    std::vector<std::uint16_t> rowWeightA_;
    std::vector<std::uint16_t> rowWeightB_;
    std::vector<int> lastSourceRow_;
    // Weighted sums of source rows, full source width: the output row being built and
    // the one after it.
    std::vector<std::uint32_t> current_;
    std::vector<std::uint32_t> next_;
    int sourceRow_ = 0;
    int nextOutput_ = 0;
};

}  // namespace quillhaven
