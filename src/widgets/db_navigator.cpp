#include "widgets/db_navigator.h"

#include <QPainter>
#include <QPixmap>
#include <QPolygonF>
#include <QToolButton>

#include "data/data_link.h"
#include "data/dataset.h"
#include "platform/qt/guard.h"

namespace vorelia::widgets {
namespace {

// Glyphs: a bar and one triangle for first/last, one triangle for prior/next, drawn in the
// button text colour so they follow the palette.
QIcon NavigatorGlyph(TDBNavigator::TNavigateButton which, const QColor& colour) {
  QPixmap pixmap(16, 16);
  pixmap.fill(Qt::transparent);
  QPainter painter(&pixmap);
  painter.setRenderHint(QPainter::Antialiasing);
  painter.setPen(Qt::NoPen);
  painter.setBrush(colour);
  const bool forward = which == TDBNavigator::TNavigateButton::Next ||
                       which == TDBNavigator::TNavigateButton::Last;
  const bool toEnd = which == TDBNavigator::TNavigateButton::First ||
                     which == TDBNavigator::TNavigateButton::Last;
  QPolygonF triangle;
  if (forward) {
    triangle << QPointF(5, 3) << QPointF(11, 8) << QPointF(5, 13);
  } else {
    triangle << QPointF(11, 3) << QPointF(5, 8) << QPointF(11, 13);
  }
  painter.drawPolygon(triangle);
  if (toEnd) painter.drawRect(forward ? QRectF(11, 3, 2, 10) : QRectF(3, 3, 2, 10));
  return QIcon(pixmap);
}

}  // namespace

class TDBNavigator::Link : public data::TDataLink {
 public:
  explicit Link(TDBNavigator& owner) : m_owner(owner) {}

 protected:
  void ActiveChanged() override { m_owner.UpdateButtons(); }
  void DataSetChanged() override { m_owner.UpdateButtons(); }
  void DataSetScrolled(int) override { m_owner.UpdateButtons(); }
  void EditingChanged() override { m_owner.UpdateButtons(); }

 private:
  TDBNavigator& m_owner;
};

TDBNavigator::TDBNavigator(QWidget* parent) : QWidget(parent), m_link(std::make_unique<Link>(*this)) {
  const char* hints[] = {"Primeiro registro", "Registro anterior", "Próximo registro",
                         "Último registro"};
  const QColor glyph = palette().color(QPalette::ButtonText);
  for (int i = 0; i < 4; ++i) {
    auto which = static_cast<TNavigateButton>(i);
    auto* button = new QToolButton(this);
    button->setAutoRaise(true);  // flat
    button->setFocusPolicy(Qt::NoFocus);
    button->setIcon(NavigatorGlyph(which, glyph));
    button->setToolTip(QString::fromUtf8(hints[i]));
    button->setObjectName(QStringLiteral("nav%1").arg(i));
    connect(button, &QToolButton::clicked, this,
            [this, which] { platform::Guarded([this, which] { BtnClick(which); }); });
    m_buttons[static_cast<size_t>(i)] = button;
  }
  UpdateButtons();
}

TDBNavigator::~TDBNavigator() = default;

void TDBNavigator::SetDataSource(data::TDataSource* source) {
  m_link->SetDataSource(source);
  UpdateButtons();
}

void TDBNavigator::BtnClick(TNavigateButton which) {
  data::TDataSet* dataSet = m_link->DataSet();
  if (!m_link->Active() || dataSet == nullptr) return;
  switch (which) {
    case TNavigateButton::First: dataSet->First(); break;
    case TNavigateButton::Prior: dataSet->Prior(); break;
    case TNavigateButton::Next: dataSet->Next(); break;
    case TNavigateButton::Last: dataSet->Last(); break;
  }
}

void TDBNavigator::UpdateButtons() {
  const bool active = m_link->Active();
  data::TDataSet* dataSet = m_link->DataSet();
  const bool empty = !active || dataSet->IsEmpty();
  const bool atStart = empty || dataSet->Bof();
  const bool atEnd = empty || dataSet->Eof();
  auto set = [](QToolButton* button, bool enabled) {
    if (button->isEnabled() != enabled) button->setEnabled(enabled);
  };
  set(Button(TNavigateButton::First), !atStart);
  set(Button(TNavigateButton::Prior), !atStart);
  set(Button(TNavigateButton::Next), !atEnd);
  set(Button(TNavigateButton::Last), !atEnd);
}

void TDBNavigator::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  const int count = static_cast<int>(m_buttons.size());
  const int width = this->width() / count;
  for (int i = 0; i < count; ++i) {
    const int left = i * width;
    const int right = i == count - 1 ? this->width() : left + width;
    m_buttons[static_cast<size_t>(i)]->setGeometry(left, 0, right - left, height());
  }
}

}  // namespace vorelia::widgets
