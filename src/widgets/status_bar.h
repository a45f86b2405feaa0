#pragma once

#include <QStatusBar>
#include <QString>

#include <vector>

namespace vorelia::widgets {

// A status bar of fixed-width panels laid out from the left edge, each with its own text and
// alignment. The last panel keeps its width; the rest of the bar stays empty. It draws only its
// panels: transient messages of the base class are not shown.
class TStatusBar : public QStatusBar {
  Q_OBJECT

 public:
  static constexpr int kDefaultHeight = 19;

  explicit TStatusBar(QWidget* parent = nullptr);

  // Returns the new panel's index.
  int AddPanel(int width, Qt::Alignment alignment = Qt::AlignLeft | Qt::AlignVCenter,
               const QString& text = {});
  int PanelCount() const { return static_cast<int>(m_panels.size()); }
  QString PanelText(int index) const { return m_panels.at(index).text; }
  int PanelWidth(int index) const { return m_panels.at(index).width; }
  Qt::Alignment PanelAlignment(int index) const { return m_panels.at(index).alignment; }
  void SetPanelText(int index, const QString& text);
  // The panel's rectangle inside the bar.
  QRect PanelRect(int index) const;

  QSize sizeHint() const override;
  QSize minimumSizeHint() const override { return sizeHint(); }

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  struct Panel {
    int width;
    Qt::Alignment alignment;
    QString text;
  };
  std::vector<Panel> m_panels;
};

}  // namespace vorelia::widgets
