#pragma once

#include <QWidget>

#include <array>
#include <memory>

class QToolButton;

namespace vorelia::data {
class TDataSource;
}

namespace vorelia::widgets {

// A flat record navigator with the buttons first, prior, next and last. The first two are
// disabled at the beginning of the dataset, the last two at its end, all of them while it is
// closed or empty.
class TDBNavigator : public QWidget {
  Q_OBJECT

 public:
  enum class TNavigateButton { First, Prior, Next, Last };

  explicit TDBNavigator(QWidget* parent = nullptr);
  ~TDBNavigator() override;

  void SetDataSource(data::TDataSource* source);
  QToolButton* Button(TNavigateButton which) const { return m_buttons[static_cast<size_t>(which)]; }
  // Performs what the button does.
  void BtnClick(TNavigateButton which);

 protected:
  void resizeEvent(QResizeEvent* event) override;

 private:
  class Link;
  void UpdateButtons();

  std::unique_ptr<Link> m_link;
  std::array<QToolButton*, 4> m_buttons{};
};

}  // namespace vorelia::widgets
