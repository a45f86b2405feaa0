#pragma once

#include <QObject>

#include <filesystem>
#include <string>
#include <string_view>

namespace vorelia::records {
class TCadastro;
}

namespace vorelia::app {

class TFormPrincipal;

// Gives the frame's catalogue, window-building and record commands their bodies: the
// catalogue dialog in both modes, MDICriar/MDIAbrir building a records window, and the shared
// record commands acting on the active records window. Owned by the frame.
class TDatabaseCommands : public QObject {
  Q_OBJECT

 public:
  TDatabaseCommands(TFormPrincipal& frame, std::filesystem::path dados);

  // The active records window, or nullptr when none is open.
  records::TCadastro* ActiveWindow() const;
  int RecordsWindowCount() const;
  // The records window showing database `name`, or nullptr.
  records::TCadastro* FindWindow(const QString& title) const;

  void AbrirDialogExecute();
  void CriarDialogExecute();
  void MDICriarExecute();
  void MDIAbrirExecute();

  void DBPrimeiroExecute();
  void DBAnteriorExecute();
  void DBSeguinteExecute();
  void DBUltimoExecute();
  void DBInserirExecute();
  void DBDeletarExecute();
  void DBEditarExecute();
  void DBDeletarTudoExecute();
  void DBSalvarExecute();
  void DBCancelExecute();
  // Exports the active window's search grid: format choice, then the document.
  void EXP_DOCExecute();
  // The update rule of a record command (and of the export command).
  bool RecordCommandEnabled(std::string_view name) const;

  // Builds a records window on database `name` (ANSI); `create` makes its table first.
  records::TCadastro* BuildWindow(const std::string& name, bool create);

 private:
  void InstallCommands();
  // Close, rewrite without the deleted records, open: the dataset keeps its order and filter.
  static void Pack(records::TCadastro& window);

  TFormPrincipal& m_frame;
  std::filesystem::path m_dados;
};

}  // namespace vorelia::app
