#include "widgets/bit_btn.h"

#include <QDialog>
#include <QIcon>

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
