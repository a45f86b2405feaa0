#pragma once

namespace vorelia::app {

class TDatabaseCommands;
class TFormPrincipal;

// Gives the frame's print commands (VisualizarImpressao, ConfigurarImpressora, Imprimir) their
// bodies over the report holder and the update rule of the record commands.
void InstallPrintCommands(TFormPrincipal& frame, TDatabaseCommands& records);

}  // namespace vorelia::app
