#include "platform/qt/shell_url.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>

namespace vorelia::platform {

QUrl ShellTargetUrl(const std::string& target, const std::string& directory) {
  const QString text = QString::fromStdString(target).trimmed();
  if (text.isEmpty()) return {};
  if (QDir::isAbsolutePath(text)) return QUrl::fromLocalFile(text);
  // A scheme of two letters or more: "C:" alone would be a drive, not an address.
  static const QRegularExpression scheme("^[A-Za-z][A-Za-z0-9+.-]+:");
  if (scheme.match(text).hasMatch()) return QUrl(text, QUrl::TolerantMode);
  const QString base =
      directory.empty() ? QDir::currentPath() : QString::fromStdString(directory);
  const QFileInfo local(QDir(base), text);
  if (local.exists()) return QUrl::fromLocalFile(local.absoluteFilePath());
  return QUrl::fromUserInput(text);
}

}  // namespace vorelia::platform
