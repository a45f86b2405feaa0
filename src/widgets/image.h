#pragma once

#include <QImage>
#include <QWidget>

namespace vorelia::widgets {

// A picture control: draws its picture at its top-left corner and nothing else, so whatever lies
// beneath shows around a smaller picture.
class TImage : public QWidget {
  Q_OBJECT

 public:
  explicit TImage(QWidget* parent = nullptr);

  const QImage& Picture() const { return m_picture; }
  // With auto-size on, the control takes the picture's size.
  void SetPicture(const QImage& picture);
  void SetAutoSize(bool autoSize) { m_autoSize = autoSize; }

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  QImage m_picture;
  bool m_autoSize = true;
};

}  // namespace vorelia::widgets
