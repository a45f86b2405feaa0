#pragma once

#include <QImage>
#include <QString>

#include <cstddef>
#include <span>

namespace vorelia::widgets {

// Decodes a JPEG picture with libjpeg into an RGB image. Damaged or truncated data, and pictures
// larger than kMaxJpegPixels, raise EVoreliaError; nothing is read past the given bytes.
QImage DecodeJpeg(std::span<const std::byte> data);

// Reads a JPEG file (or a resource path such as ":/assets/logo.jpg") and decodes it.
QImage LoadJpeg(const QString& path);

inline constexpr long long kMaxJpegPixels = 64LL * 1024 * 1024;

}  // namespace vorelia::widgets
