#include "export/frm_selection.h"

#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QPixmap>
#include <QPushButton>
#include <QRadioButton>

#include "export/writers/export_formats.h"
#include "platform/qt/guard.h"
#include "ui_frm_selection.h"

static void InitExportResources() { Q_INIT_RESOURCE(export_assets); }

namespace vorelia::exporter {

Tfrm_Selection::Tfrm_Selection(QWidget* parent)
    : QDialog(parent,
              Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowStaysOnTopHint),
      m_ui(std::make_unique<Ui::Tfrm_Selection>()) {
  InitExportResources();
  m_ui->setupUi(this);
  setFixedSize(322, 123);
  connect(m_ui->btn_Selection, &QPushButton::clicked, this, &QDialog::accept);
  connect(m_ui->btn_Cancel, &QPushButton::clicked, this, &QDialog::reject);
  connect(m_ui->SelectionCombo, &QComboBox::activated, this,
          [this] { platform::Guarded([this] { SelectionComboChange(); }); });
  connect(m_ui->rdo_View, &QRadioButton::clicked, this, [this] {
    platform::Guarded([this] {
      if (OnStyleChosen) OnStyleChosen(TmxExportStyle::xsView);
    });
  });
  connect(m_ui->rdo_File, &QRadioButton::clicked, this, [this] {
    platform::Guarded([this] {
      if (OnStyleChosen) OnStyleChosen(TmxExportStyle::xsFile);
    });
  });
}

Tfrm_Selection::~Tfrm_Selection() = default;

void Tfrm_Selection::FillFormats(TmxSet<TmxExportType> types, TmxExportType current) {
  QComboBox& list = *m_ui->SelectionCombo;
  list.clear();
  for (TmxExportType type : kSelectionOrder) {
    if (!types.Has(type)) continue;
    list.addItem(QString::fromLatin1(ListEntry(type).data(), ListEntry(type).size()),
                 static_cast<int>(type));
    if (type == current) list.setCurrentIndex(list.count() - 1);
  }
  list.setMaxVisibleItems(std::max(1, list.count()));
}

std::optional<TmxExportType> Tfrm_Selection::SelectedType() const {
  const QVariant data = m_ui->SelectionCombo->currentData();
  if (!data.isValid()) return std::nullopt;
  return static_cast<TmxExportType>(data.toInt());
}

void Tfrm_Selection::SelectionComboChange() {
  const std::optional<TmxExportType> type = SelectedType();
  // The clipboard takes neither a view nor a file; the checked button stays as it was.
  const bool choosable = type != TmxExportType::xtClipboard;
  m_ui->rdo_View->setEnabled(choosable);
  m_ui->rdo_File->setEnabled(choosable);
  if (type && OnTypeChosen) OnTypeChosen(*type);
  m_ui->IconImage->setPixmap(type ? Icon(IconIndex(*type)) : QPixmap());
}

QPixmap Tfrm_Selection::Icon(int index) {
  InitExportResources();
  return QPixmap(QStringLiteral(":/export/icon_%1.png").arg(index));
}

QGroupBox* Tfrm_Selection::GroupBox() const { return m_ui->GroupBox; }
QComboBox* Tfrm_Selection::SelectionCombo() const { return m_ui->SelectionCombo; }
QRadioButton* Tfrm_Selection::rdo_View() const { return m_ui->rdo_View; }
QRadioButton* Tfrm_Selection::rdo_File() const { return m_ui->rdo_File; }
QLabel* Tfrm_Selection::IconImage() const { return m_ui->IconImage; }
QPushButton* Tfrm_Selection::btn_Selection() const { return m_ui->btn_Selection; }
QPushButton* Tfrm_Selection::btn_Cancel() const { return m_ui->btn_Cancel; }

}  // namespace vorelia::exporter
