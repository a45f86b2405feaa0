#include "platform/qt/desktop_services.h"

#include <QApplication>
#include <QClipboard>
#include <QDesktopServices>
#include <QGuiApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QUrl>

#include "platform/qt/shell_url.h"

namespace vorelia::platform {
namespace {

QString FromUtf8(const std::string& text) { return QString::fromStdString(text); }

QMessageBox::Icon QtIcon(TMessageIcon icon) {
  switch (icon) {
    case TMessageIcon::Information:
      return QMessageBox::Information;
    case TMessageIcon::Exclamation:
      return QMessageBox::Warning;
    case TMessageIcon::Question:
      return QMessageBox::Question;
    case TMessageIcon::Error:
      return QMessageBox::Critical;
    case TMessageIcon::None:
      break;
  }
  return QMessageBox::NoIcon;
}

QMessageBox::StandardButton QtButton(TMessageResult result) {
  switch (result) {
    case TMessageResult::Ok:
      return QMessageBox::Ok;
    case TMessageResult::Cancel:
      return QMessageBox::Cancel;
    case TMessageResult::Yes:
      return QMessageBox::Yes;
    case TMessageResult::No:
      return QMessageBox::No;
  }
  return QMessageBox::Ok;
}

QMessageBox::StandardButtons QtButtons(TMessageButtons buttons) {
  switch (buttons) {
    case TMessageButtons::Ok:
      return QMessageBox::Ok;
    case TMessageButtons::OkCancel:
      return QMessageBox::Ok | QMessageBox::Cancel;
    case TMessageButtons::YesNo:
      return QMessageBox::Yes | QMessageBox::No;
    case TMessageButtons::YesNoCancel:
      return QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
  }
  return QMessageBox::Ok;
}

class TQtMessageBox : public IMessageBox {
 public:
  TMessageResult Show(const TMessageRequest& request) override {
    QMessageBox box(QtIcon(request.icon), FromUtf8(request.caption), FromUtf8(request.text),
                    QtButtons(request.buttons), QApplication::activeWindow());
    box.setDefaultButton(QtButton(request.defaultButton));
    box.exec();
    QAbstractButton* clicked = box.clickedButton();
    switch (clicked != nullptr ? box.standardButton(clicked) : QMessageBox::NoButton) {
      case QMessageBox::Ok:
        return TMessageResult::Ok;
      case QMessageBox::Yes:
        return TMessageResult::Yes;
      case QMessageBox::No:
        return TMessageResult::No;
      default:
        break;
    }
    // Closed by the close box or Escape.
    const bool hasCancel = request.buttons == TMessageButtons::OkCancel ||
                           request.buttons == TMessageButtons::YesNoCancel;
    if (hasCancel) return TMessageResult::Cancel;
    return request.buttons == TMessageButtons::YesNo ? TMessageResult::No : TMessageResult::Ok;
  }
};

class TQtShell : public IDesktopShell {
 public:
  void Execute(const TShellRequest& request) override {
    const QUrl url = ShellTargetUrl(request.target, request.directory);
    if (url.isEmpty()) return;
    // Returns at once (the opener runs detached); the result is not examined.
    QDesktopServices::openUrl(url);
  }
};

class TQtClipboard : public IClipboard {
 public:
  void SetText(const std::string& text) override {
    if (QClipboard* clipboard = QGuiApplication::clipboard()) clipboard->setText(FromUtf8(text));
  }
};

class TQtScreen : public IScreen {
 public:
  TScreenFacts Facts() const override {
    TScreenFacts facts;
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (screen == nullptr) return facts;
    const QRect geometry = screen->geometry();
    const QRect available = screen->availableGeometry();
    facts.width = geometry.width();
    facts.height = geometry.height();
    facts.workArea = TScreenRect{available.left(), available.top(),
                                 available.left() + available.width(),
                                 available.top() + available.height()};
    return facts;
  }
};

template <typename Interface, typename Real>
struct TServiceSlot {
  Interface& Get() { return m_override != nullptr ? *m_override : m_real; }
  Interface* Set(Interface* service) {
    Interface* previous = m_override;
    m_override = service;
    return previous;
  }

 private:
  Real m_real;
  Interface* m_override = nullptr;
};

TServiceSlot<IMessageBox, TQtMessageBox>& MessageBoxSlot() {
  static TServiceSlot<IMessageBox, TQtMessageBox> slot;
  return slot;
}
TServiceSlot<IDesktopShell, TQtShell>& ShellSlot() {
  static TServiceSlot<IDesktopShell, TQtShell> slot;
  return slot;
}
TServiceSlot<IClipboard, TQtClipboard>& ClipboardSlot() {
  static TServiceSlot<IClipboard, TQtClipboard> slot;
  return slot;
}
TServiceSlot<IScreen, TQtScreen>& ScreenSlot() {
  static TServiceSlot<IScreen, TQtScreen> slot;
  return slot;
}

}  // namespace

IMessageBox& MessageBoxService() { return MessageBoxSlot().Get(); }
IDesktopShell& ShellService() { return ShellSlot().Get(); }
IClipboard& ClipboardService() { return ClipboardSlot().Get(); }
IScreen& ScreenService() { return ScreenSlot().Get(); }

IMessageBox* SetMessageBoxService(IMessageBox* service) { return MessageBoxSlot().Set(service); }
IDesktopShell* SetShellService(IDesktopShell* service) { return ShellSlot().Set(service); }
IClipboard* SetClipboardService(IClipboard* service) { return ClipboardSlot().Set(service); }
IScreen* SetScreenService(IScreen* service) { return ScreenSlot().Set(service); }

}  // namespace vorelia::platform
