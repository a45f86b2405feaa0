#include "app/print_commands.h"

#include "app/database_commands.h"
#include "app/form_principal.h"
#include "dbf/dbf_dataset.h"
#include "records/cadastro.h"
#include "records/relatorio.h"
#include "widgets/command.h"

namespace vorelia::app {

void InstallPrintCommands(TFormPrincipal& frame, TDatabaseCommands& records) {
  using records::TRelatorio;
  struct Operation {
    const char* name;
    void (TRelatorio::*run)(dbf::TDbfDataSet&);
  };
  const Operation operations[] = {
      {"VisualizarImpressao", &TRelatorio::Visualizar},
      {"ConfigurarImpressora", &TRelatorio::ConfigurarImpressora},
      {"Imprimir", &TRelatorio::Imprimir},
  };
  for (const Operation& operation : operations) {
    widgets::TCommand& command = frame.acoes_01()[operation.name];
    const char* name = operation.name;
    auto run = operation.run;
    // Every run binds afresh to the active window, so a closed window is never printed.
    command.SetOnExecute([&records, run] {
      records::TCadastro* window = records.ActiveWindow();
      if (window == nullptr) return;
      TRelatorio& holder = TRelatorio::Relatorio();
      // The binding outlives the command; it must not outlive the window's table.
      const data::TDataSet* bound = &window->Tabela();
      QObject::connect(window, &QObject::destroyed, &holder,
                       [&holder, bound] { holder.Unbind(bound); });
      (holder.*run)(window->Tabela());
    });
    command.SetOnUpdate(
        [&records, &command, name] { command.SetEnabled(records.RecordCommandEnabled(name)); });
  }
}

}  // namespace vorelia::app
