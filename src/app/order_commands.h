#pragma once

namespace vorelia::app {

class TDatabaseCommands;
class TFormPrincipal;

// Gives the frame's order commands (OrdemCrescente, OrdemDescrescente, ModoNormal) their bodies
// and the update rule of the record commands.
void InstallOrderCommands(TFormPrincipal& frame, TDatabaseCommands& records);

}  // namespace vorelia::app
