#include "report/core/qr_paper_size.h"

#include <array>

namespace vorelia::report {

namespace {

constexpr std::array<TPaperDimensions, kPaperSizeCount> kDimensions{{
    {0, 0},            // Default
    {215.9, 279.4},    // Letter
    {215.9, 279.4},    // LetterSmall
    {279.4, 431.8},    // Tabloid
    {431.8, 279.4},    // Ledger
    {215.9, 355.6},    // Legal
    {139.7, 215.9},    // Statement
    {190.5, 254},      // Executive
    {297, 420},        // A3
    {210, 297},        // A4
    {210, 297},        // A4Small
    {148, 210},        // A5
    {250, 354},        // B4
    {182, 257},        // B5
    {215.9, 330.2},    // Folio
    {215, 275},        // Quarto
    {254, 355.6},      // qr10X14
    {279.4, 431.8},    // qr11X17
    {215.9, 279.0},    // Note: shorter than Letter
    {98.43, 225.4},    // Env9
    {104.8, 241.3},    // Env10
    {114.3, 263.5},    // Env11
    {101.6, 279.4},    // Env12
    {127, 292.1},      // Env14
    {100, 100},        // CSheet
    {100, 100},        // DSheet
    {100, 100},        // ESheet
    {0, 0},            // Custom
}};

}  // namespace

TPaperDimensions PaperDimensions(TQRPaperSize size) {
  const auto index = static_cast<std::size_t>(size);
  return index < kDimensions.size() ? kDimensions[index] : TPaperDimensions{};
}

}  // namespace vorelia::report
