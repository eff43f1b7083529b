#pragma once

#include <cstddef>
#include <cstdint>

namespace quillhaven {

// A fast raw-deflate encoder for PNG rows: runs of one repeated byte become matches at
// distance 1 (what zlib's Z_RLE strategy finds), everything else is a literal, coded with
// a dynamic Huffman table per block. It is several times faster than zlib at level 1 with
// Z_RLE, because its bit writer works 64 bits at a time, and its output is no larger.
//
// `encodeDeflateFragment` writes `length` bytes as non-final blocks and then an empty
// stored block, which leaves the output byte-aligned: final when `last` (the stream ends
// there), otherwise a sync point after which another fragment can follow directly. Matches
// never reach back before `data`, so fragments can be encoded independently.
//
// Returns the number of bytes written, or 0 when `capacity` is too small; at most
// `deflateFragmentBound(length)` bytes are ever needed.
std::size_t encodeDeflateFragment(const std::uint8_t* data, std::size_t length, bool last,
                                  std::uint8_t* out, std::size_t capacity);

std::size_t deflateFragmentBound(std::size_t length);

}  // namespace quillhaven
