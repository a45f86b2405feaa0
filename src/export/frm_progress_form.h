#pragma once

#include <QDialog>
#include <memory>

namespace Ui {
class Tfrm_ProgressForm;
}

class QLabel;
class QProgressBar;

namespace vorelia::exporter {

// The export's progress window: a label and a bar, laid out at run time for the component's
// texts and size. Shown without a modal loop; the export sets the bar once per row.
class Tfrm_ProgressForm : public QDialog {
  Q_OBJECT

 public:
  explicit Tfrm_ProgressForm(QWidget* parent = nullptr);
  ~Tfrm_ProgressForm() override;

  // Sizes the window (outer size `width` x `height`), places the label showing `text` (none
  // when empty) and the bar, sets the bar to 0 of `total`, shows the window and paints it.
  void Start(const QString& caption, const QString& text, int width, int height, int total);
  void SetPosition(int position);

  QLabel* ProgressLabel() const;
  QProgressBar* ProgressBar() const;

 private:
  std::unique_ptr<Ui::Tfrm_ProgressForm> m_ui;
};

}  // namespace vorelia::exporter
