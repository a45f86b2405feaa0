#include "widgets/bit_btn.h"

#include <QDialog>
#include <QIcon>
#include <QStyleOptionButton>
#include <QStylePainter>

#include "platform/qt/guard.h"
#include "widgets/resources.h"

namespace vorelia::widgets {

TBitBtn::TBitBtn(QWidget* parent) : QPushButton(parent) {
  InitWidgetResources();
  setAttribute(Qt::WA_Hover);
  setIconSize(QSize(16, 16));
  connect(this, &QPushButton::clicked, this, [this] { platform::Guarded([this] { Click(); }); });
}

void TBitBtn::SetGlyph(const QString& path) { setIcon(QIcon(path)); }

void TBitBtn::SetSpacing(int spacing) {
  if (spacing == m_spacing) return;
  m_spacing = spacing;
  update();
}

TBitBtn::TLabelLayout TBitBtn::LabelLayout() const {
  if (m_spacing < 0 || icon().isNull() || text().isEmpty()) return {};
  QStyleOptionButton option;
  initStyleOption(&option);
  const QRect contents = style()->subElementRect(QStyle::SE_PushButtonContents, &option, this);
  const QSize glyph = iconSize();
  const QRect caption = style()->itemTextRect(fontMetrics(), contents,
                                              Qt::AlignLeft | Qt::AlignVCenter | Qt::TextShowMnemonic,
                                              isEnabled(), text());
  const int group = glyph.width() + m_spacing + caption.width();
  const int left = contents.left() + (contents.width() - group) / 2;
  const int glyphTop = contents.top() + (contents.height() - glyph.height()) / 2;
  TLabelLayout layout;
  layout.glyph = QRect(QPoint(left, glyphTop), glyph);
  layout.caption = QRect(left + glyph.width() + m_spacing, caption.top(), caption.width(),
                         caption.height());
  return layout;
}

void TBitBtn::paintEvent(QPaintEvent* event) {
  const TLabelLayout layout = LabelLayout();
  if (layout.glyph.isEmpty()) {
    QPushButton::paintEvent(event);
    return;
  }
  QStylePainter painter(this);
  QStyleOptionButton option;
  initStyleOption(&option);
  // The style draws the button without its label; glyph and caption follow at their places.
  QStyleOptionButton bare = option;
  bare.text.clear();
  bare.icon = QIcon();
  painter.drawControl(QStyle::CE_PushButton, bare);
  QPoint shift;
  if (option.state & (QStyle::State_Sunken | QStyle::State_On)) {
    shift = QPoint(style()->pixelMetric(QStyle::PM_ButtonShiftHorizontal, &option, this),
                   style()->pixelMetric(QStyle::PM_ButtonShiftVertical, &option, this));
  }
  const QIcon::Mode mode = isEnabled() ? QIcon::Normal : QIcon::Disabled;
  painter.drawPixmap(layout.glyph.topLeft() + shift,
                     icon().pixmap(layout.glyph.size(), devicePixelRatio(), mode));
  int flags = Qt::AlignLeft | Qt::AlignVCenter | Qt::TextShowMnemonic;
  if (!style()->styleHint(QStyle::SH_UnderlineShortcut, &option, this)) {
    flags |= Qt::TextHideMnemonic;
  }
  painter.drawItemText(layout.caption.translated(shift), flags, palette(), isEnabled(), text(),
                       QPalette::ButtonText);
}

void TBitBtn::SetKind(TBitBtnKind kind) {
  m_kind = kind;
  switch (kind) {
    case TBitBtnKind::Ok:
      setText("OK");
      SetGlyph(":/glyphs/ok.png");
      setDefault(true);
      break;
    case TBitBtnKind::Cancel:
      setText("Cancelar");
      SetGlyph(":/glyphs/cancel.png");
      break;
    case TBitBtnKind::Yes:
      setText("&Sim");
      SetGlyph(":/glyphs/ok.png");
      setDefault(true);
      break;
    case TBitBtnKind::No:
      setText("&Não");
      SetGlyph(":/glyphs/cancel.png");
      break;
    case TBitBtnKind::Close:
      setText("&Fechar");
      SetGlyph(":/glyphs/close.png");
      break;
    case TBitBtnKind::Custom:
      break;
  }
}

void TBitBtn::Click() {
  QWidget* top = window();
  auto* dialog = qobject_cast<QDialog*>(top);
  switch (m_kind) {
    case TBitBtnKind::Ok:
    case TBitBtnKind::Yes:
      if (dialog != nullptr) dialog->accept();
      break;
    case TBitBtnKind::Cancel:
    case TBitBtnKind::No:
      if (dialog != nullptr) dialog->reject();
      break;
    case TBitBtnKind::Close:
      if (top != nullptr) top->close();
      break;
    case TBitBtnKind::Custom:
      break;
  }
}

}  // namespace vorelia::widgets
