#pragma once

#include <QDialog>
#include <functional>
#include <memory>
#include <optional>

#include "export/writers/export_options.h"

namespace Ui {
class Tfrm_Selection;
}

class QComboBox;
class QGroupBox;
class QLabel;
class QPushButton;
class QRadioButton;

namespace vorelia::exporter {

// The export format window: a list of formats, view or file, and the icon of the chosen format.
// Enter confirms (OK result), Esc or closing the window cancels. The component fills it before
// each use and learns the user's choices through the two callbacks.
class Tfrm_Selection : public QDialog {
  Q_OBJECT

 public:
  explicit Tfrm_Selection(QWidget* parent = nullptr);
  ~Tfrm_Selection() override;

  // Refills the list with the entries of `types` in the fixed order; `current` becomes the
  // selected entry when it is among them.
  void FillFormats(TmxSet<TmxExportType> types, TmxExportType current);
  // The type of the selected entry, if any.
  std::optional<TmxExportType> SelectedType() const;

  // Change handling of the list: radio buttons enabled unless "Clipboard" is selected, the
  // chosen type reported, the icon redrawn.
  void SelectionComboChange();

  std::function<void(TmxExportType)> OnTypeChosen;
  std::function<void(TmxExportStyle)> OnStyleChosen;

  QGroupBox* GroupBox() const;
  QComboBox* SelectionCombo() const;
  QRadioButton* rdo_View() const;
  QRadioButton* rdo_File() const;
  QLabel* IconImage() const;
  QPushButton* btn_Selection() const;
  QPushButton* btn_Cancel() const;

  // The 31x31 icon of index `index` (0 ... 7).
  static QPixmap Icon(int index);

 private:
  std::unique_ptr<Ui::Tfrm_Selection> m_ui;
};

}  // namespace vorelia::exporter
