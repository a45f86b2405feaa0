#pragma once

#include <QUrl>

#include <string>

namespace vorelia::platform {

// What the desktop shell opens for a target: addresses with a scheme ("mailto:", "http://") as
// they are; absolute paths and files that exist relative to `directory` as local files; anything
// else (such as "www.agencia.com.br") as a web address, as the desktop would guess it.
QUrl ShellTargetUrl(const std::string& target, const std::string& directory);

}  // namespace vorelia::platform
