#include "app/order_commands.h"

#include "app/database_commands.h"
#include "app/form_principal.h"
#include "records/agency_order.h"
#include "records/cadastro.h"
#include "widgets/command.h"

namespace vorelia::app {

void InstallOrderCommands(TFormPrincipal& frame, TDatabaseCommands& records) {
  struct Order {
    const char* name;
    void (*run)(dbf::TDbfDataSet&);
  };
  const Order orders[] = {
      {"OrdemCrescente", [](dbf::TDbfDataSet& t) { records::SortByAgencyName(t, false); }},
      {"OrdemDescrescente", [](dbf::TDbfDataSet& t) { records::SortByAgencyName(t, true); }},
      {"ModoNormal", [](dbf::TDbfDataSet& t) { records::ShowStoredOrder(t); }},
  };
  for (const Order& order : orders) {
    widgets::TCommand& command = frame.acoes_01()[order.name];
    const char* name = order.name;
    auto run = order.run;
    command.SetOnExecute([&records, run] { run(records.ActiveWindow()->Tabela()); });
    command.SetOnUpdate(
        [&records, &command, name] { command.SetEnabled(records.RecordCommandEnabled(name)); });
  }
}

}  // namespace vorelia::app
