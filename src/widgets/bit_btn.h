#pragma once

#include <QPushButton>

namespace vorelia::widgets {

// Standard button kinds with their caption, glyph and effect on a dialog.
enum class TBitBtnKind { Custom, Ok, Cancel, Yes, No, Close };

// A push button with a glyph beside its caption and a light hover effect. The standard kinds set
// their own caption and glyph; OK and Yes accept the dialog they sit on, Cancel and No reject it,
// Close closes the window.
class TBitBtn : public QPushButton {
  Q_OBJECT

 public:
  explicit TBitBtn(QWidget* parent = nullptr);

  TBitBtnKind Kind() const { return m_kind; }
  void SetKind(TBitBtnKind kind);
  // A glyph from the program's pictures (for example ":/glyphs/ok.png").
  void SetGlyph(const QString& path);

  // Pixels between the glyph and the caption, which are centred together as one group; -1 (the
  // default) leaves the layout to the style.
  void SetSpacing(int spacing);
  int Spacing() const { return m_spacing; }
  // Where the glyph and the caption go when a spacing is set (empty rectangles otherwise).
  struct TLabelLayout {
    QRect glyph;
    QRect caption;
  };
  TLabelLayout LabelLayout() const;

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  void Click();

  TBitBtnKind m_kind = TBitBtnKind::Custom;
  int m_spacing = -1;
};

}  // namespace vorelia::widgets
