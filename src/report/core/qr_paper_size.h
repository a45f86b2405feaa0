#pragma once

#include <cstdint>

namespace vorelia::report {

// Paper sizes; the numeric value of each member is its position and is what layouts store.
enum class TQRPaperSize : std::uint8_t {
  Default,  // size taken from the printer
  Letter,
  LetterSmall,
  Tabloid,
  Ledger,
  Legal,
  Statement,
  Executive,
  A3,
  A4,
  A4Small,
  A5,
  B4,
  B5,
  Folio,
  Quarto,
  qr10X14,
  qr11X17,
  Note,
  Env9,
  Env10,
  Env11,
  Env12,
  Env14,
  CSheet,
  DSheet,
  ESheet,
  Custom,  // size taken from the settings
};

inline constexpr int kPaperSizeCount = 28;

enum class TQROrientation : std::uint8_t { poPortrait, poLandscape };

// Paper sources, in stored order.
enum class TQRBin : std::uint8_t {
  First,
  Upper,
  Lower,
  Middle,
  Manual,
  Envelope,
  EnvManual,
  Auto,
  Tractor,
  SmallFormat,
  LargeFormat,
  LargeCapacity,
  Cassette,
  Last,
};

// Portrait paper dimensions in millimetres; both 0 for Default and Custom, whose size comes
// from elsewhere.
struct TPaperDimensions {
  double Width = 0;
  double Length = 0;
};

TPaperDimensions PaperDimensions(TQRPaperSize size);

// True for the sizes with a fixed table entry (Letter ... ESheet).
constexpr bool HasFixedDimensions(TQRPaperSize size) {
  return size != TQRPaperSize::Default && size != TQRPaperSize::Custom;
}

}  // namespace vorelia::report
