#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "report/core/page_recording.h"

namespace vorelia::report {

// The stored form of one page: a compact display list.
//   offset size  meaning
//        0    4  signature 'V' 'P' 'G' 0xD7
//        4    1  format version, 1
//        5    *  width, height, pixels per inch across and down (unsigned varints)
//             *  operation count (unsigned varint), then the operations
// Each operation is an opcode byte and its arguments: unsigned varints (7 bits a byte, low
// group first, at most 5 bytes), signed values zigzagged, rectangles as left, top, width,
// height, texts as a length and their bytes. The last signature byte has its top bit set, so
// read as a little-endian 32-bit number the signature is negative: it can never be a valid
// record link in a saved report, which is how the older header layout is told apart.
inline constexpr std::array<std::uint8_t, 4> kPageSignature{'V', 'P', 'G', 0xD7};
inline constexpr std::uint8_t kPageFormatVersion = 1;

// Limits the parser holds every page to; the encoder clamps to them so that whatever it writes
// reads back.
inline constexpr int kMaxPageDimension = 1 << 20;
inline constexpr int kMaxPixelsPerInch = 100000;
inline constexpr int kMaxCoordinate = 1 << 24;
inline constexpr int kMaxPenWidth = 1 << 16;
inline constexpr int kMaxFontSize = 32767;
inline constexpr std::size_t kMaxFontNameLength = 255;

void EncodePage(const TPageRecording& page, std::vector<std::uint8_t>& out);
std::vector<std::uint8_t> EncodePage(const TPageRecording& page);

// Parses a stored page, checking every count, length, enumeration and value range against the
// bytes given. Throws EQRError when the bytes are not a valid page.
TPageRecording DecodePage(std::span<const std::uint8_t> bytes);

bool HasPageSignature(std::span<const std::uint8_t> bytes);

}  // namespace vorelia::report
