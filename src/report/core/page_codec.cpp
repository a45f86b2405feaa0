#include "report/core/page_codec.h"

#include <algorithm>
#include <cstdlib>
#include <string>

#include "report/core/qr_error.h"

namespace vorelia::report {

namespace {

enum TOpCode : std::uint8_t {
  kOpSetFont = 1,
  kOpSetBrush,
  kOpSetPen,
  kOpFillRect,
  kOpText,
  kOpRectangle,
  kOpEllipse,
  kOpMoveTo,
  kOpLineTo,
  kOpClipOff,
};

constexpr std::uint8_t kFontBold = 1;
constexpr std::uint8_t kFontItalic = 2;
constexpr std::uint8_t kFontUnderline = 4;
constexpr std::uint8_t kFontStrikeOut = 8;
constexpr std::uint8_t kTextAlignMask = 3;
constexpr std::uint8_t kTextRightToLeft = 4;
constexpr std::uint8_t kTextClipped = 8;

int Clamp(long long value, int limit) {
  return static_cast<int>(std::clamp<long long>(value, -limit, limit));
}

class TWriter {
 public:
  explicit TWriter(std::vector<std::uint8_t>& out) : m_out(out) {}

  void Byte(std::uint8_t value) { m_out.push_back(value); }
  void Unsigned(std::uint32_t value) {
    while (value >= 0x80) {
      m_out.push_back(static_cast<std::uint8_t>(value | 0x80));
      value >>= 7;
    }
    m_out.push_back(static_cast<std::uint8_t>(value));
  }
  void Signed(int value) {
    const auto v = static_cast<std::uint32_t>(value);
    Unsigned((v << 1) ^ (value < 0 ? 0xFFFFFFFFu : 0u));
  }
  void Coordinate(int value) { Signed(Clamp(value, kMaxCoordinate)); }
  void Rect(const TCanvasRect& rect) {
    const int left = Clamp(rect.Left, kMaxCoordinate);
    const int top = Clamp(rect.Top, kMaxCoordinate);
    Signed(left);
    Signed(top);
    Signed(Clamp(static_cast<long long>(Clamp(rect.Right, kMaxCoordinate)) - left,
                 2 * kMaxCoordinate));
    Signed(Clamp(static_cast<long long>(Clamp(rect.Bottom, kMaxCoordinate)) - top,
                 2 * kMaxCoordinate));
  }
  void Text(std::string_view text) {
    Unsigned(static_cast<std::uint32_t>(text.size()));
    m_out.insert(m_out.end(), text.begin(), text.end());
  }

 private:
  std::vector<std::uint8_t>& m_out;
};

class TReader {
 public:
  explicit TReader(std::span<const std::uint8_t> bytes) : m_bytes(bytes) {}

  [[noreturn]] static void Fail(const char* what) {
    throw EQRError(std::string("Invalid report page: ") + what);
  }
  std::size_t Remaining() const { return m_bytes.size() - m_pos; }

  std::uint8_t Byte() {
    if (m_pos >= m_bytes.size()) Fail("unexpected end of data");
    return m_bytes[m_pos++];
  }
  std::uint32_t Unsigned() {
    std::uint32_t value = 0;
    for (int shift = 0; shift < 35; shift += 7) {
      const std::uint8_t byte = Byte();
      if (shift == 28 && byte > 0x0F) Fail("number out of range");
      value |= static_cast<std::uint32_t>(byte & 0x7F) << shift;
      if ((byte & 0x80) == 0) return value;
    }
    Fail("number out of range");
  }
  int Bounded(std::uint32_t limit, const char* what) {
    const std::uint32_t value = Unsigned();
    if (value > limit) Fail(what);
    return static_cast<int>(value);
  }
  int Signed(int limit, const char* what) {
    const std::uint32_t raw = Unsigned();
    const long long value = (raw & 1) ? -static_cast<long long>(raw >> 1) - 1 : raw >> 1;
    if (value < -limit || value > limit) Fail(what);
    return static_cast<int>(value);
  }
  int Coordinate() { return Signed(kMaxCoordinate, "coordinate out of range"); }
  TCanvasRect Rect() {
    TCanvasRect rect;
    rect.Left = Coordinate();
    rect.Top = Coordinate();
    rect.Right = rect.Left + Signed(2 * kMaxCoordinate, "rectangle out of range");
    rect.Bottom = rect.Top + Signed(2 * kMaxCoordinate, "rectangle out of range");
    if (std::abs(rect.Right) > kMaxCoordinate || std::abs(rect.Bottom) > kMaxCoordinate) {
      Fail("rectangle out of range");
    }
    return rect;
  }
  std::string Text(std::size_t limit) {
    const std::uint32_t length = Unsigned();
    if (length > Remaining() || length > limit) Fail("text length out of range");
    std::string text(reinterpret_cast<const char*>(m_bytes.data() + m_pos), length);
    m_pos += length;
    return text;
  }
  template <typename Enum>
  Enum EnumValue(Enum last, const char* what) {
    const std::uint8_t value = Byte();
    if (value > static_cast<std::uint8_t>(last)) Fail(what);
    return static_cast<Enum>(value);
  }

 private:
  std::span<const std::uint8_t> m_bytes;
  std::size_t m_pos = 0;
};

void EncodeOp(TWriter& w, const TPageOp& op) {
  std::visit(
      [&w](const auto& o) {
        using T = std::decay_t<decltype(o)>;
        if constexpr (std::is_same_v<T, TOpSetFont>) {
          const TCanvasFont& f = o.Font;
          w.Byte(kOpSetFont);
          w.Text(std::string_view(f.Name).substr(0, kMaxFontNameLength));
          w.Signed(Clamp(f.Size, kMaxFontSize));
          w.Byte(static_cast<std::uint8_t>((f.Bold ? kFontBold : 0) | (f.Italic ? kFontItalic : 0) |
                                           (f.Underline ? kFontUnderline : 0) |
                                           (f.StrikeOut ? kFontStrikeOut : 0)));
          w.Unsigned(f.Color);
          w.Byte(f.Charset);
        } else if constexpr (std::is_same_v<T, TOpSetBrush>) {
          w.Byte(kOpSetBrush);
          w.Unsigned(o.Brush.Color);
          w.Byte(static_cast<std::uint8_t>(o.Brush.Style));
        } else if constexpr (std::is_same_v<T, TOpSetPen>) {
          w.Byte(kOpSetPen);
          w.Unsigned(o.Pen.Color);
          w.Unsigned(static_cast<std::uint32_t>(std::clamp(o.Pen.Width, 0, kMaxPenWidth)));
          w.Byte(static_cast<std::uint8_t>(o.Pen.Style));
          w.Byte(static_cast<std::uint8_t>(o.Pen.Mode));
        } else if constexpr (std::is_same_v<T, TOpFillRect>) {
          w.Byte(kOpFillRect);
          w.Rect(o.Rect);
        } else if constexpr (std::is_same_v<T, TOpText>) {
          w.Byte(kOpText);
          w.Coordinate(o.X);
          w.Coordinate(o.Y);
          w.Byte(static_cast<std::uint8_t>(static_cast<std::uint8_t>(o.Align) |
                                           (o.RightToLeft ? kTextRightToLeft : 0) |
                                           (o.Clip ? kTextClipped : 0)));
          if (o.Clip) w.Rect(*o.Clip);
          w.Text(o.Text);
        } else if constexpr (std::is_same_v<T, TOpRectangle>) {
          w.Byte(kOpRectangle);
          w.Rect(o.Rect);
        } else if constexpr (std::is_same_v<T, TOpEllipse>) {
          w.Byte(kOpEllipse);
          w.Rect(o.Rect);
        } else if constexpr (std::is_same_v<T, TOpMoveTo>) {
          w.Byte(kOpMoveTo);
          w.Coordinate(o.X);
          w.Coordinate(o.Y);
        } else if constexpr (std::is_same_v<T, TOpLineTo>) {
          w.Byte(kOpLineTo);
          w.Coordinate(o.X);
          w.Coordinate(o.Y);
        } else {
          static_assert(std::is_same_v<T, TOpClipOff>);
          w.Byte(kOpClipOff);
        }
      },
      op);
}

TPageOp DecodeOp(TReader& r) {
  switch (r.Byte()) {
    case kOpSetFont: {
      TCanvasFont font;
      font.Name = r.Text(kMaxFontNameLength);
      font.Size = r.Signed(kMaxFontSize, "font size out of range");
      const std::uint8_t style = r.Byte();
      if (style > 0x0F) TReader::Fail("unknown font style");
      font.Bold = (style & kFontBold) != 0;
      font.Italic = (style & kFontItalic) != 0;
      font.Underline = (style & kFontUnderline) != 0;
      font.StrikeOut = (style & kFontStrikeOut) != 0;
      font.Color = r.Unsigned();
      font.Charset = r.Byte();
      return TOpSetFont{std::move(font)};
    }
    case kOpSetBrush: {
      TCanvasBrush brush;
      brush.Color = r.Unsigned();
      brush.Style = r.EnumValue(TBrushStyle::bsDiagCross, "unknown brush style");
      return TOpSetBrush{brush};
    }
    case kOpSetPen: {
      TCanvasPen pen;
      pen.Color = r.Unsigned();
      pen.Width = r.Bounded(kMaxPenWidth, "pen width out of range");
      pen.Style = r.EnumValue(TPenStyle::psInsideFrame, "unknown pen style");
      pen.Mode = r.EnumValue(TPenMode::pmNotXor, "unknown pen mode");
      return TOpSetPen{pen};
    }
    case kOpFillRect:
      return TOpFillRect{r.Rect()};
    case kOpText: {
      TOpText text;
      text.X = r.Coordinate();
      text.Y = r.Coordinate();
      const std::uint8_t flags = r.Byte();
      if (flags > 0x0F || (flags & kTextAlignMask) > 2) TReader::Fail("unknown text flags");
      text.Align = static_cast<TTextAlign>(flags & kTextAlignMask);
      text.RightToLeft = (flags & kTextRightToLeft) != 0;
      if (flags & kTextClipped) text.Clip = r.Rect();
      text.Text = r.Text(r.Remaining());
      return text;
    }
    case kOpRectangle:
      return TOpRectangle{r.Rect()};
    case kOpEllipse:
      return TOpEllipse{r.Rect()};
    case kOpMoveTo: {
      const int x = r.Coordinate();
      return TOpMoveTo{x, r.Coordinate()};
    }
    case kOpLineTo: {
      const int x = r.Coordinate();
      return TOpLineTo{x, r.Coordinate()};
    }
    case kOpClipOff:
      return TOpClipOff{};
    default:
      TReader::Fail("unknown operation");
  }
}

}  // namespace

void EncodePage(const TPageRecording& page, std::vector<std::uint8_t>& out) {
  out.insert(out.end(), kPageSignature.begin(), kPageSignature.end());
  TWriter w(out);
  w.Byte(kPageFormatVersion);
  w.Unsigned(static_cast<std::uint32_t>(std::clamp(page.Width, 0, kMaxPageDimension)));
  w.Unsigned(static_cast<std::uint32_t>(std::clamp(page.Height, 0, kMaxPageDimension)));
  w.Unsigned(static_cast<std::uint32_t>(std::clamp(page.PixelsPerInchX, 1, kMaxPixelsPerInch)));
  w.Unsigned(static_cast<std::uint32_t>(std::clamp(page.PixelsPerInchY, 1, kMaxPixelsPerInch)));
  w.Unsigned(static_cast<std::uint32_t>(page.Ops.size()));
  for (const TPageOp& op : page.Ops) EncodeOp(w, op);
}

std::vector<std::uint8_t> EncodePage(const TPageRecording& page) {
  std::vector<std::uint8_t> out;
  out.reserve(64 + page.Ops.size() * 12);
  EncodePage(page, out);
  return out;
}

bool HasPageSignature(std::span<const std::uint8_t> bytes) {
  return bytes.size() >= kPageSignature.size() &&
         std::equal(kPageSignature.begin(), kPageSignature.end(), bytes.begin());
}

TPageRecording DecodePage(std::span<const std::uint8_t> bytes) {
  if (!HasPageSignature(bytes)) TReader::Fail("missing signature");
  TReader r(bytes.subspan(kPageSignature.size()));
  if (r.Byte() != kPageFormatVersion) TReader::Fail("unknown format version");
  TPageRecording page;
  page.Width = r.Bounded(kMaxPageDimension, "page width out of range");
  page.Height = r.Bounded(kMaxPageDimension, "page height out of range");
  page.PixelsPerInchX = r.Bounded(kMaxPixelsPerInch, "resolution out of range");
  page.PixelsPerInchY = r.Bounded(kMaxPixelsPerInch, "resolution out of range");
  if (page.PixelsPerInchX == 0 || page.PixelsPerInchY == 0) TReader::Fail("resolution is zero");
  const std::uint32_t count = r.Unsigned();
  // Every operation takes at least its opcode byte.
  if (count > r.Remaining()) TReader::Fail("operation count out of range");
  page.Ops.reserve(count);
  for (std::uint32_t i = 0; i < count; ++i) page.Ops.push_back(DecodeOp(r));
  if (r.Remaining() != 0) TReader::Fail("trailing bytes after the operations");
  return page;
}

}  // namespace vorelia::report
