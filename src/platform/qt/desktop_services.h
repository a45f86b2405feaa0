#pragma once

#include "platform/clipboard.h"
#include "platform/desktop_shell.h"
#include "platform/message_box.h"
#include "platform/screen.h"

namespace vorelia::platform {

// The desktop services the program uses. Each accessor returns the installed override, or the
// real service over Qt when none is installed. Use them on the user-interface thread.
IMessageBox& MessageBoxService();
IDesktopShell& ShellService();
IClipboard& ClipboardService();
IScreen& ScreenService();

// Install an override (nullptr restores the real service); each returns the one it replaces.
// The caller keeps ownership and must uninstall it before it dies.
IMessageBox* SetMessageBoxService(IMessageBox* service);
IDesktopShell* SetShellService(IDesktopShell* service);
IClipboard* SetClipboardService(IClipboard* service);
IScreen* SetScreenService(IScreen* service);

// Installs an override for the lifetime of the object, for tests:
//   TMessageBoxDouble answers;  ScopedMessageBox scope(answers);
template <typename Interface, Interface* (*Setter)(Interface*)>
class TScopedService {
 public:
  explicit TScopedService(Interface& service) : m_previous(Setter(&service)) {}
  ~TScopedService() { Setter(m_previous); }
  TScopedService(const TScopedService&) = delete;
  TScopedService& operator=(const TScopedService&) = delete;

 private:
  Interface* m_previous;
};

using ScopedMessageBox = TScopedService<IMessageBox, &SetMessageBoxService>;
using ScopedShell = TScopedService<IDesktopShell, &SetShellService>;
using ScopedClipboard = TScopedService<IClipboard, &SetClipboardService>;
using ScopedScreen = TScopedService<IScreen, &SetScreenService>;

}  // namespace vorelia::platform
