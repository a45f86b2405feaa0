#pragma once

#include <QImage>
#include <QMdiArea>

namespace vorelia::app {

// The area in which the records windows live: pale yellow, with the logo painted behind the
// child windows and moved by the centre-fraction rule when the frame is resized.
class TMdiClient : public QMdiArea {
  Q_OBJECT

 public:
  // $00BBGGRR = $00C6FFFF: red 255, green 255, blue 198.
  static constexpr QRgb kBackground = 0xFFFFFFC6;

  explicit TMdiClient(QWidget* parent = nullptr);

  void SetLogo(const QImage& logo);
  const QImage& Logo() const { return m_logo; }
  // The logo's rectangle in the area's coordinates, for a frame client of the given size.
  QRect LogoRect() const;
  // The frame's client height exceeds the area's by the status bar; the rule uses the former.
  void SetClientExtraHeight(int extra) { m_clientExtraHeight = extra; }

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  QImage m_logo;
  int m_clientExtraHeight = 0;
};

}  // namespace vorelia::app
