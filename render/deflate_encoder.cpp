#include "render/deflate_encoder.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <numeric>
#include <vector>

namespace quillhaven {

namespace {

// Raw bytes per block: small enough for the table to follow local statistics, large
// enough that the table's own cost stays a fraction of a percent.
constexpr std::size_t kBlockBytes = 32 * 1024;
constexpr int kLitLenCodes = 286;
constexpr int kEndOfBlock = 256;
constexpr int kMaxBits = 15;
constexpr int kMaxCodeLengthBits = 7;
constexpr int kMinRun = 3;
constexpr int kMaxRun = 258;

// Length 3..258 to its code (257..285), the number of extra bits and their value.
struct LengthCode {
    std::uint16_t symbol;
    std::uint8_t extraBits;
    std::uint8_t extra;
};

const std::array<LengthCode, kMaxRun + 1>& lengthCodes() {
    static const std::array<LengthCode, kMaxRun + 1> table = [] {
        constexpr int base[29] = {3,  4,  5,  6,  7,  8,  9,  10, 11,  13,  15,  17,  19,  23, 27,
                                  31, 35, 43, 51, 59, 67, 83, 99, 115, 131, 163, 195, 227, 258};
        constexpr int extra[29] = {0, 0, 0, 0, 0, 0, 0, 0, 1, 1, 1, 1, 2, 2, 2,
                                   2, 3, 3, 3, 3, 4, 4, 4, 4, 5, 5, 5, 5, 0};
        std::array<LengthCode, kMaxRun + 1> codes{};
        for (int code = 0; code < 29; ++code) {
            const int end = code == 28 ? 259 : base[code + 1];
            for (int length = base[code]; length < end && length <= kMaxRun; ++length) {
                codes[static_cast<std::size_t>(length)] = {
                    static_cast<std::uint16_t>(257 + code), static_cast<std::uint8_t>(extra[code]),
                    static_cast<std::uint8_t>(length - base[code])};
            }
        }
        // 258 has its own code without extra bits, although 227 + 31 would also fit code 284.
        codes[kMaxRun] = {285, 0, 0};
        return codes;
    }();
    return table;
}

// Writes bits least significant first, 32 at a time.
class BitWriter {
public:
    explicit BitWriter(std::uint8_t* out) : out_(out) {}

    void put(std::uint32_t bits, int count) {
        buffer_ |= std::uint64_t{bits} << filled_;
        filled_ += count;
        if (filled_ >= 32) {
            const auto word = static_cast<std::uint32_t>(buffer_);
            const std::uint8_t bytes[4] = {
                static_cast<std::uint8_t>(word), static_cast<std::uint8_t>(word >> 8),
                static_cast<std::uint8_t>(word >> 16), static_cast<std::uint8_t>(word >> 24)};
            std::memcpy(out_ + written_, bytes, 4);
            written_ += 4;
            buffer_ >>= 32;
            filled_ -= 32;
        }
    }

    // Pads to a byte boundary and writes out every pending bit.
    void align() {
        while (filled_ > 0) {
            out_[written_++] = static_cast<std::uint8_t>(buffer_);
            buffer_ >>= 8;
            filled_ = std::max(0, filled_ - 8);
        }
    }

    void putBytes(const std::uint8_t* bytes, std::size_t count) {
        if (count == 0) {
            return;
        }
        std::memcpy(out_ + written_, bytes, count);
        written_ += count;
    }

    std::size_t written() const { return written_; }

private:
    std::uint8_t* out_;
    std::uint64_t buffer_ = 0;
    int filled_ = 0;
    std::size_t written_ = 0;
};

// Huffman code lengths of at most `limit` bits for `count` symbols with the given
// frequencies; unused symbols get 0. At least two symbols must be used.
void buildLengths(const std::uint32_t* frequencies, int count, int limit, std::uint8_t* lengths) {
    std::vector<int> symbols;
    symbols.reserve(static_cast<std::size_t>(count));
    for (int s = 0; s < count; ++s) {
        lengths[s] = 0;
        if (frequencies[s] > 0) {
            symbols.push_back(s);
        }
    }
    const int n = static_cast<int>(symbols.size());
    std::stable_sort(symbols.begin(), symbols.end(),
                     [&](int a, int b) { return frequencies[a] < frequencies[b]; });
    // Moffat and Katajainen's in-place computation of minimum-redundancy code lengths over
    // the ascending frequencies.
    std::vector<std::uint32_t> a(static_cast<std::size_t>(n));
    for (int i = 0; i < n; ++i) {
        a[static_cast<std::size_t>(i)] = frequencies[symbols[static_cast<std::size_t>(i)]];
    }
    auto at = [&a](int i) -> std::uint32_t& { return a[static_cast<std::size_t>(i)]; };
    at(0) += at(1);
    int root = 0;
    int leaf = 2;
    for (int next = 1; next < n - 1; ++next) {
        if (leaf >= n || at(root) < at(leaf)) {
            at(next) = at(root);
            at(root++) = static_cast<std::uint32_t>(next);
        } else {
            at(next) = at(leaf++);
        }
        if (leaf >= n || (root < next && at(root) < at(leaf))) {
            at(next) += at(root);
            at(root++) = static_cast<std::uint32_t>(next);
        } else {
            at(next) += at(leaf++);
        }
    }
    at(n - 2) = 0;
    for (int next = n - 3; next >= 0; --next) {
        at(next) = at(static_cast<int>(at(next))) + 1;
    }
    int available = 1;
    int used = 0;
    std::uint32_t depth = 0;
    root = n - 2;
    int next = n - 1;
    while (available > 0) {
        while (root >= 0 && at(root) == depth) {
            ++used;
            --root;
        }
        while (available > used) {
            at(next--) = depth;
            --available;
        }
        available = 2 * used;
        ++depth;
        used = 0;
    }

    // Count the lengths and bring the longest down to the limit, keeping the code complete
    // (the adjustment of the JPEG standard, Annex K.3).
    std::vector<int> perLength(static_cast<std::size_t>(std::max(n, limit) + 2), 0);
    for (int i = 0; i < n; ++i) {
        ++perLength[at(i)];
    }
    auto bits = [&perLength](int i) -> int& { return perLength[static_cast<std::size_t>(i)]; };
    for (int i = static_cast<int>(perLength.size()) - 1; i > limit; --i) {
        while (bits(i) > 0) {
            int j = i - 2;
            while (bits(j) == 0) {
                --j;
            }
            bits(i) -= 2;
            bits(i - 1) += 1;
            bits(j + 1) += 2;
            bits(j) -= 1;
        }
    }
    // The least frequent symbols take the longest codes.
    int index = 0;
    for (int length = limit; length >= 1; --length) {
        for (int k = 0; k < bits(length); ++k) {
            lengths[symbols[static_cast<std::size_t>(index++)]] = static_cast<std::uint8_t>(length);
        }
    }
}

// Canonical codes for the lengths, bit-reversed for least-significant-first output.
void buildCodes(const std::uint8_t* lengths, int count, std::uint16_t* codes) {
    int perLength[kMaxBits + 1] = {};
    for (int s = 0; s < count; ++s) {
        ++perLength[lengths[s]];
    }
    perLength[0] = 0;
    int nextCode[kMaxBits + 2] = {};
    int code = 0;
    for (int bits = 1; bits <= kMaxBits; ++bits) {
        code = (code + perLength[bits - 1]) << 1;
        nextCode[bits] = code;
    }
    for (int s = 0; s < count; ++s) {
        const int length = lengths[s];
        if (length == 0) {
            codes[s] = 0;
            continue;
        }
        int value = nextCode[length]++;
        int reversed = 0;
        for (int i = 0; i < length; ++i) {
            reversed = (reversed << 1) | (value & 1);
            value >>= 1;
        }
        codes[s] = static_cast<std::uint16_t>(reversed);
    }
}

// One code-length instruction: symbol 0..18 and its extra bits.
struct LengthInstruction {
    std::uint8_t symbol;
    std::uint8_t extra;
};

// Run-length codes a sequence of code lengths with symbols 16 (repeat the previous 3-6
// times), 17 (3-10 zeros) and 18 (11-138 zeros).
int encodeLengths(const std::uint8_t* lengths, int count, LengthInstruction* out) {
    int written = 0;
    for (int i = 0; i < count;) {
        const std::uint8_t value = lengths[i];
        int run = 1;
        while (i + run < count && lengths[i + run] == value) {
            ++run;
        }
        i += run;
        if (value == 0) {
            while (run >= 11) {
                const int take = std::min(run, 138);
                out[written++] = {18, static_cast<std::uint8_t>(take - 11)};
                run -= take;
            }
            if (run >= 3) {
                out[written++] = {17, static_cast<std::uint8_t>(run - 3)};
                run = 0;
            }
        } else {
            out[written++] = {value, 0};
            --run;
            while (run >= 3) {
                const int take = std::min(run, 6);
                out[written++] = {16, static_cast<std::uint8_t>(take - 3)};
                run -= take;
            }
        }
        while (run-- > 0) {
            out[written++] = {value, 0};
        }
    }
    return written;
}

constexpr int kCodeLengthOrder[19] = {16, 17, 18, 0, 8, 7, 9, 6, 10, 5,
                                      11, 4,  12, 3, 13, 2, 14, 1, 15};
constexpr int kCodeLengthExtraBits[19] = {0, 0, 0, 0, 0, 0, 0, 0, 0, 0,
                                          0, 0, 0, 0, 0, 0, 2, 3, 7};

// Symbols of one block: a literal byte (0..255), or a run as 256 + length - 3.
struct Block {
    std::vector<std::uint16_t> symbols = std::vector<std::uint16_t>(kBlockBytes);
    std::size_t count = 0;
    std::uint32_t frequencies[kLitLenCodes] = {};
};

void tokenize(const std::uint8_t* data, std::size_t begin, std::size_t end, Block& block) {
    const auto& codes = lengthCodes();
    std::uint16_t* out = block.symbols.data();
    std::uint32_t* frequencies = block.frequencies;
    std::fill(frequencies, frequencies + kLitLenCodes, 0u);
    std::size_t i = begin;
    while (i < end) {
        const std::uint8_t byte = data[i];
        // A run continues the byte before it (distance 1), never reaching before `data`.
        if (i > 0 && byte == data[i - 1] && i + kMinRun <= end && data[i + 1] == byte &&
            data[i + 2] == byte) {
            const std::size_t limit = std::min(end - i, static_cast<std::size_t>(kMaxRun));
            std::size_t run = kMinRun;
            while (run < limit && data[i + run] == byte) {
                ++run;
            }
            *out++ = static_cast<std::uint16_t>(256 + run - kMinRun);
            ++frequencies[codes[run].symbol];
            i += run;
        } else {
            *out++ = byte;
            ++frequencies[byte];
            ++i;
        }
    }
    block.count = static_cast<std::size_t>(out - block.symbols.data());
    frequencies[kEndOfBlock] = 1;
}

void writeStored(BitWriter& writer, const std::uint8_t* bytes, std::size_t length, bool final) {
    writer.put(final ? 1u : 0u, 3);  // BFINAL, BTYPE 00
    writer.align();
    const auto n = static_cast<std::uint16_t>(length);
    const auto complement = static_cast<std::uint16_t>(~n);
    const std::uint8_t header[4] = {
        static_cast<std::uint8_t>(n), static_cast<std::uint8_t>(n >> 8),
        static_cast<std::uint8_t>(complement), static_cast<std::uint8_t>(complement >> 8)};
    writer.putBytes(header, 4);
    writer.putBytes(bytes, length);
}

// Writes one block with its own Huffman table, or stored when that is smaller.
void writeBlock(BitWriter& writer, const std::uint8_t* data, std::size_t begin, std::size_t end,
                Block& block) {
    const auto& runCodes = lengthCodes();
    tokenize(data, begin, end, block);

    std::uint8_t litLengths[kLitLenCodes];
    buildLengths(block.frequencies, kLitLenCodes, kMaxBits, litLengths);
    // Only distance 1 (code 0) is used; two codes of one bit keep the table complete.
    std::uint8_t lengths[kLitLenCodes + 2];
    int literalCount = kLitLenCodes;
    while (literalCount > 257 && litLengths[literalCount - 1] == 0) {
        --literalCount;
    }
    std::copy_n(litLengths, literalCount, lengths);
    lengths[literalCount] = 1;
    lengths[literalCount + 1] = 1;
    const int distanceCount = 2;

    LengthInstruction instructions[kLitLenCodes + 2];
    const int instructionCount = encodeLengths(lengths, literalCount + distanceCount, instructions);
    std::uint32_t clFrequencies[19] = {};
    for (int i = 0; i < instructionCount; ++i) {
        ++clFrequencies[instructions[i].symbol];
    }
    // The code-length code must be complete, so it needs two symbols at least.
    if (std::count_if(std::begin(clFrequencies), std::end(clFrequencies),
                      [](std::uint32_t f) { return f > 0; }) < 2) {
        ++clFrequencies[clFrequencies[0] == 0 ? 0 : 1];
    }
    std::uint8_t clLengths[19];
    buildLengths(clFrequencies, 19, kMaxCodeLengthBits, clLengths);
    int clCount = 19;
    while (clCount > 4 && clLengths[kCodeLengthOrder[clCount - 1]] == 0) {
        --clCount;
    }

    // The exact cost of the Huffman block, against a stored one.
    std::uint64_t bits = 3 + 5 + 5 + 4 + 3 * static_cast<std::uint64_t>(clCount);
    for (int i = 0; i < instructionCount; ++i) {
        bits += clLengths[instructions[i].symbol] + kCodeLengthExtraBits[instructions[i].symbol];
    }
    for (int s = 0; s < kLitLenCodes; ++s) {
        bits += std::uint64_t{block.frequencies[s]} * litLengths[s];
    }
    for (int code = 257; code < kLitLenCodes; ++code) {
        // A run also carries its length's extra bits and the one-bit distance code.
        const int extraBits = code < 265 || code == 285 ? 0 : (code - 261) / 4;
        bits += std::uint64_t{block.frequencies[code]} * static_cast<std::uint64_t>(extraBits + 1);
    }
    const std::uint64_t storedBits = (end - begin + 5) * 8 + 7;
    if (bits >= storedBits) {
        writeStored(writer, data + begin, end - begin, false);
        return;
    }

    std::uint16_t litCodes[kLitLenCodes];
    buildCodes(litLengths, kLitLenCodes, litCodes);
    std::uint16_t clCodes[19];
    buildCodes(clLengths, 19, clCodes);

    writer.put(2u << 1, 3);  // BFINAL 0, BTYPE 10
    writer.put(static_cast<std::uint32_t>(literalCount - 257), 5);
    writer.put(static_cast<std::uint32_t>(distanceCount - 1), 5);
    writer.put(static_cast<std::uint32_t>(clCount - 4), 4);
    for (int i = 0; i < clCount; ++i) {
        writer.put(clLengths[kCodeLengthOrder[i]], 3);
    }
    for (int i = 0; i < instructionCount; ++i) {
        const LengthInstruction& instruction = instructions[i];
        writer.put(clCodes[instruction.symbol], clLengths[instruction.symbol]);
        const int extraBits = kCodeLengthExtraBits[instruction.symbol];
        if (extraBits > 0) {
            writer.put(instruction.extra, extraBits);
        }
    }
    // Every symbol as one pattern of bits: a literal's code, or a run's length code with
    // its extra bits and distance code 0 (one bit, 0); at most 21 bits.
    std::uint32_t patterns[256 + kMaxRun - kMinRun + 1];
    std::uint8_t patternBits[256 + kMaxRun - kMinRun + 1];
    for (int symbol = 0; symbol < 256; ++symbol) {
        patterns[symbol] = litCodes[symbol];
        patternBits[symbol] = litLengths[symbol];
    }
    for (int length = kMinRun; length <= kMaxRun; ++length) {
        const LengthCode& run = runCodes[static_cast<std::size_t>(length)];
        const int symbol = 256 + length - kMinRun;
        patterns[symbol] = litCodes[run.symbol] |
                           (std::uint32_t{run.extra} << litLengths[run.symbol]);
        patternBits[symbol] =
            static_cast<std::uint8_t>(litLengths[run.symbol] + run.extraBits + 1);
    }
    const std::uint16_t* symbols = block.symbols.data();
    for (std::size_t i = 0; i < block.count; ++i) {
        writer.put(patterns[symbols[i]], patternBits[symbols[i]]);
    }
    writer.put(litCodes[kEndOfBlock], litLengths[kEndOfBlock]);
}

}  // namespace

std::size_t deflateFragmentBound(std::size_t length) {
    // Stored at worst: 5 bytes per block plus alignment, and the closing empty block.
    return length + (length / kBlockBytes + 1) * 6 + 16;
}

std::size_t encodeDeflateFragment(const std::uint8_t* data, std::size_t length, bool last,
                                  std::uint8_t* out, std::size_t capacity) {
    if (capacity < deflateFragmentBound(length)) {
        return 0;
    }
    BitWriter writer(out);
    Block block;
    for (std::size_t begin = 0; begin < length; begin += kBlockBytes) {
        writeBlock(writer, data, begin, std::min(length, begin + kBlockBytes), block);
    }
    writeStored(writer, nullptr, 0, last);
    return writer.written();
}

}  // namespace quillhaven
