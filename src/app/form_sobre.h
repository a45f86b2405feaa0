#pragma once

#include <QDialog>

#include <memory>

namespace Ui {
class TFormSobre;
}

namespace vorelia::widgets {
class THoverLabel;
}

namespace vorelia::app {

// The about window: the program's icon, name, version and date, and the maker's web address,
// which opens in the browser and turns red under the mouse.
class TFormSobre : public QDialog {
  Q_OBJECT

 public:
  explicit TFormSobre(QWidget* parent = nullptr);
  ~TFormSobre() override;

  widgets::THoverLabel& urlsite() const;

  void urlsiteClick();
  void urlsiteMouseEnter();
  void urlsiteMouseLeave();

 private:
  std::unique_ptr<Ui::TFormSobre> m_ui;
};

}  // namespace vorelia::app
