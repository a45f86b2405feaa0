#include "export/mx_db_grid_export.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QGroupBox>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTableView>
#include <QTimer>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "data/data_link.h"
#include "data/data_source.h"
#include "data/field.h"
#include "dbf/agency_schema.h"
#include "dbf/dbf_dataset.h"
#include "export/frm_progress_form.h"
#include "export/frm_selection.h"
#include "export/save_dialog.h"
#include "platform/program_folder.h"
#include "platform/qt/desktop_services.h"
#include "platform/service_doubles.h"
#include "support/temp_dir.h"
#include "widgets/db_grid.h"

namespace vorelia::exporter {
namespace {

using data::TFieldType;

struct Agency {
  const char* agencia;
  const char* endereco;
  const char* municipio;
  const char* uf;
  const char* ddd;
  const char* telefone;
};

// Counts what the dataset tells its controls.
class CountingLink : public data::TDataLink {
 public:
  int events = 0;

 protected:
  void ActiveChanged() override { ++events; }
  void DataSetChanged() override { ++events; }
  void DataSetScrolled(int) override { ++events; }
  void RecordChanged(data::TField*) override { ++events; }
};

std::string ReadFile(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

class MxDBGridExportTest : public test::TempDirTest {
 protected:
  void SetUp() override {
    TempDirTest::SetUp();
    m_table.SetFilePath(m_dir.string());
    m_table.SetTableName("agencias.age");
    m_table.SetTableLevel(4);
    for (const dbf::TAgencyField& field : dbf::kAgencyFields) {
      m_table.FieldDefs().Add(field.name, TFieldType::String, field.width, false);
    }
    m_table.CreateTable();
    m_table.Open();
    m_source.SetDataSet(&m_table);

    // The records window's search grid: three titled columns and three without a title.
    const char* const titles[] = {"Nome Da Agência", "Endereço", "Município / Bairro", "", "", ""};
    const char* const fields[] = {"AGENCIA", "ENDERECO", "MUNICIPIO", "UF", "DDD", "TELEFONE"};
    std::vector<widgets::TDBGridColumn> columns;
    for (int i = 0; i < 6; ++i) {
      widgets::TDBGridColumn column;
      column.FieldName = fields[i];
      column.Title = QString::fromUtf8(titles[i]);
      columns.push_back(column);
    }
    m_grid = std::make_unique<widgets::TDBGrid>();
    m_grid->SetColumns(columns);
    m_grid->SetDataSource(&m_source);

    m_export.DateFormat = "dd/MM/yy";
    m_export.TimeFormat = "hh:mm";
    m_export.DateTimeFormat = "hh:mm dd/MM/yy";
    m_export.Messages = RecordsWindowMessages();
    m_export.TempDir = m_dir.string() + "/";
    m_export.DateTimeText = [] { return std::string("08/12/2026 14:05:09"); };
    m_export.SetDBGrid(m_grid.get());
    m_export.OnError = [this](TmxCustomExport&, TmxExportError error) {
      m_errors.push_back(error);
    };
  }

  void Add(const Agency& agency) {
    m_table.Append();
    m_table.FieldByName("AGENCIA").SetAsString(agency.agencia);
    m_table.FieldByName("ENDERECO").SetAsString(agency.endereco);
    m_table.FieldByName("MUNICIPIO").SetAsString(agency.municipio);
    m_table.FieldByName("UF").SetAsString(agency.uf);
    m_table.FieldByName("DDD").SetAsString(agency.ddd);
    m_table.FieldByName("TELEFONE").SetAsString(agency.telefone);
    m_table.Post();
  }

  void AddFive() {
    Add({"Alfa Empregos", "Rua A, 10", "S\xE9", "SP", "011", "12345-678"});
    Add({"Beta RH", "Av. Brasil 5", "Centro", "RJ", "021", "2222-3333"});
    Add({"Gama", "Rua C", "Lapa", "SP", "011", ""});
    Add({"Delta", "Rua D", "Boa Vista", "PE", "081", "3333-4444"});
    Add({"Epsilon", "Rua E", "Savassi", "MG", "031", "5555-6666"});
  }

  std::string ExportToFile(TmxExportType type, const std::string& fileName) {
    m_export.SetExportType(type);
    m_export.ExportStyle = TmxExportStyle::xsFile;
    m_export.FileName = (m_dir / fileName).string();
    m_export.RunExport();
    return m_export.LastDocument();
  }

  dbf::TDbfDataSet m_table;
  data::TDataSource m_source;
  std::unique_ptr<widgets::TDBGrid> m_grid;
  TmxDBGridExport m_export;
  std::vector<TmxExportError> m_errors;
  platform::TClipboardDouble m_clipboard;
  platform::ScopedClipboard m_clipboardScope{m_clipboard};
  platform::TDesktopShellDouble m_shell;
  platform::ScopedShell m_shellScope{m_shell};
  platform::TMessageBoxDouble m_boxes;
  platform::ScopedMessageBox m_boxScope{m_boxes};
  TSaveDialogDouble m_saveDialog;
  ScopedSaveDialog m_saveScope{m_saveDialog};
};

TEST_F(MxDBGridExportTest, CsvOfTheSearchGridGetsTheFormatsExtensionInUpperCase) {
  Add({"Alfa Empregos", "Rua A, 10", "S\xE9", "SP", "011", "12345-678"});
  Add({"Beta", "", "Centro", "RJ", "021", "5\"B"});
  const std::string written = ExportToFile(TmxExportType::xtCSV, "agencias.txt");
  EXPECT_EQ(written, (m_dir / "agencias.CSV").string());
  EXPECT_FALSE(std::filesystem::exists(m_dir / "agencias.txt"));
  EXPECT_EQ(ReadFile(m_dir / "agencias.CSV"),
            "\"Nome Da Ag\xEAncia\",Endere\xE7o,\"Munic\xEDpio / Bairro\",UF,DDD,TELEFONE\r\n"
            "\"Alfa Empregos\",\"Rua A, 10\",S\xE9,SP,011,12345-678\r\n"
            "Beta,,Centro,RJ,021,\"5\"\"B\"\r\n");
  EXPECT_TRUE(m_errors.empty());
  EXPECT_TRUE(m_shell.requests.empty());

  // A name without an extension gets one.
  EXPECT_EQ(ExportToFile(TmxExportType::xtSYLK, "lista"), (m_dir / "lista.SLK").string());
}

TEST_F(MxDBGridExportTest, HiddenColumnsAreLeftOutAndEmptyTitlesFallBackToTheFieldNames) {
  Add({"Alfa", "Rua A", "Centro", "SP", "011", "1234-5678"});
  std::vector<widgets::TDBGridColumn> columns = m_grid->Columns();
  columns[4].Visible = false;  // DDD
  m_grid->SetColumns(columns);
  ExportToFile(TmxExportType::xtTAB, "lista.tab");
  EXPECT_EQ(ReadFile(m_dir / "lista.TXT"),
            "Nome Da Ag\xEAncia\tEndere\xE7o\tMunic\xEDpio / Bairro\tUF\tTELEFONE\r\n"
            "Alfa\tRua A\tCentro\tSP\t1234-5678\r\n"
            "Criado: 08/12/2026 14:05:09\r\n");

  // SYLK numbers its cells by grid column, so the hidden one leaves a gap.
  ExportToFile(TmxExportType::xtSYLK, "lista.slk");
  const std::string sylk = ReadFile(m_dir / "lista.SLK");
  EXPECT_NE(sylk.find("C;X4;Y2;K\"SP\"\r\nC;X6;Y2;K\"1234-5678\"\r\n"), std::string::npos) << sylk;
  EXPECT_EQ(sylk.find(";X5;"), std::string::npos);
}

TEST_F(MxDBGridExportTest, FilteredTableExportsEachFilteredRecordOnce) {
  AddFive();
  m_table.OnFilterRecord = [](data::TDataSet& dataSet, bool& accept) {
    accept = dataSet.FieldByName("UF").AsString() == "SP";
  };
  m_table.SetFiltered(true);
  std::vector<std::string> walked;
  m_export.OnExport = [&](TmxCustomExport&, int current, int total, const TmxValues& values,
                          bool& canExport) {
    EXPECT_EQ(total, 2);
    EXPECT_EQ(current, static_cast<int>(walked.size()));
    EXPECT_TRUE(canExport);
    walked.push_back(values.at(0));
  };
  ExportToFile(TmxExportType::xtDIF, "sp.dif");
  EXPECT_EQ(walked, (std::vector<std::string>{"Alfa Empregos", "Gama"}));
  EXPECT_EQ(m_export.TotalRows(), 2);
  EXPECT_EQ(m_export.RowsWritten(), 2);
  EXPECT_EQ(m_export.Progress().ProgressBar()->maximum(), 2);
  const std::string dif = ReadFile(m_dir / "sp.DIF");
  EXPECT_NE(dif.find("TUPLES\r\n0,2\r\n"), std::string::npos) << dif;
  EXPECT_NE(dif.find("VECTORS\r\n0,6\r\n"), std::string::npos);
  EXPECT_EQ(dif.find("Beta"), std::string::npos);
  EXPECT_EQ(dif.find("Delta"), std::string::npos);
  const size_t first = dif.find("\"Gama\"");
  ASSERT_NE(first, std::string::npos);
  EXPECT_EQ(dif.find("\"Gama\"", first + 1), std::string::npos);
}

TEST_F(MxDBGridExportTest, WalkKeepsControlsQuietAndReturnsToTheStartingRecord) {
  AddFive();
  CountingLink watcher;
  watcher.SetDataSource(&m_source);
  m_table.First();
  m_table.MoveBy(2);
  ASSERT_EQ(m_table.FieldByName("AGENCIA").AsString(), "Gama");
  int eventsAtBegin = -1;
  int eventsAtLastRow = -1;
  bool disabledThroughout = true;
  m_export.OnBeginExport = [&](TmxCustomExport&) { eventsAtBegin = watcher.events; };
  m_export.OnExport = [&](TmxCustomExport&, int, int, const TmxValues&, bool&) {
    disabledThroughout = disabledThroughout && m_table.ControlsDisabled();
    eventsAtLastRow = watcher.events;
  };
  ExportToFile(TmxExportType::xtHTML, "lista.htm");
  EXPECT_TRUE(std::filesystem::exists(m_dir / "lista.HTML"));
  EXPECT_TRUE(disabledThroughout);
  EXPECT_EQ(eventsAtLastRow, eventsAtBegin);
  EXPECT_FALSE(m_table.ControlsDisabled());
  EXPECT_EQ(m_table.FieldByName("AGENCIA").AsString(), "Gama");
  EXPECT_EQ(m_grid->DataSource(), &m_source);
  EXPECT_EQ(m_export.RowsWalked(), 5);
}

TEST_F(MxDBGridExportTest, HeaderAndFooterTextsFrameTheRowsAndTheGridKeepsItsWidths) {
  Add({"Alfa", "Rua A", "Centro", "SP", "011", "1234-5678"});
  QHeaderView& titles = *m_grid->View()->horizontalHeader();
  titles.resizeSection(0, 77);
  std::vector<std::string> events;
  m_export.OnBeginExport = [&](TmxCustomExport&) { events.push_back("begin"); };
  m_export.OnEndExport = [&](TmxCustomExport&) { events.push_back("end"); };
  m_export.OnGetHeader = [&](TmxCustomExport&, int count, std::string& header) {
    events.push_back("header " + std::to_string(count));
    header = "Ag\xEAncias\r\nLista 2";
  };
  m_export.OnGetFooter = [&](TmxCustomExport&, int count, std::string& footer) {
    events.push_back("footer " + std::to_string(count));
    footer = "Fim";
  };
  ExportToFile(TmxExportType::xtTAB, "lista.tab");
  EXPECT_EQ(ReadFile(m_dir / "lista.TXT"),
            "Ag\xEAncias\r\nLista 2\r\n"
            "Nome Da Ag\xEAncia\tEndere\xE7o\tMunic\xEDpio / Bairro\tUF\tDDD\tTELEFONE\r\n"
            "Alfa\tRua A\tCentro\tSP\t011\t1234-5678\r\n"
            "Fim\r\n"
            "Criado: 08/12/2026 14:05:09\r\n");
  EXPECT_EQ(events, (std::vector<std::string>{"begin", "header 1", "footer 1", "end"}));
  EXPECT_EQ(titles.sectionSize(0), 77);
}

TEST_F(MxDBGridExportTest, EmptyTableStillGivesTheDocumentFrame) {
  ExportToFile(TmxExportType::xtTXT, "vazia.txt");
  const std::string dashes(159, '-');
  EXPECT_EQ(ReadFile(m_dir / "vazia.TXT"),
            "Nome Da Ag\xEAncia" + std::string(10, ' ') + " Endere\xE7o" + std::string(92, ' ') +
                " Munic\xEDpio / Bairro UF DDD TELEFONE \r\n" + dashes + "\r\n" + dashes +
                "\r\nCriado: 08/12/2026 14:05:09\r\n");
  ExportToFile(TmxExportType::xtCSV, "vazia.csv");
  EXPECT_EQ(ReadFile(m_dir / "vazia.CSV"),
            "\"Nome Da Ag\xEAncia\",Endere\xE7o,\"Munic\xEDpio / Bairro\",UF,DDD,TELEFONE\r\n");
  EXPECT_EQ(m_export.Progress().ProgressBar()->maximum(), 0);
}

TEST_F(MxDBGridExportTest, ViewModeTakesTheNextFreeTemporaryNameAndOpensIt) {
  Add({"Alfa", "Rua A", "Centro", "SP", "011", "1234-5678"});
  m_export.SetExportType(TmxExportType::xtCSV);
  m_export.ExportStyle = TmxExportStyle::xsView;
  m_export.RunExport();
  m_export.RunExport();
  ASSERT_EQ(m_shell.requests.size(), 2u);
  EXPECT_EQ(m_shell.requests[0].target, m_dir.string() + "/vor1.CSV");
  EXPECT_EQ(m_shell.requests[1].target, m_dir.string() + "/vor2.CSV");
  EXPECT_EQ(m_shell.requests[1].directory, m_dir.string());
  EXPECT_TRUE(std::filesystem::exists(m_dir / "vor1.CSV"));
  EXPECT_TRUE(m_errors.empty());
}

TEST_F(MxDBGridExportTest, FailuresEndTheExportThroughTheErrorEventOnly) {
  Add({"Alfa", "Rua A", "Centro", "SP", "011", "1234-5678"});
  int ends = 0;
  m_export.OnEndExport = [&](TmxCustomExport&) { ++ends; };

  // A folder that does not exist: nothing is written, the end event still comes.
  ExportToFile(TmxExportType::xtRTF, "nada/lista.rtf");
  EXPECT_EQ(m_errors, std::vector<TmxExportError>{TmxExportError::xeGeneralExportError});
  EXPECT_EQ(ends, 1);
  EXPECT_FALSE(m_export.LastErrorMessage().empty());
  EXPECT_FALSE(m_table.ControlsDisabled());

  // An existing target the handler will not give up stays as it was.
  m_errors.clear();
  { std::ofstream(m_dir / "velho.XLS") << "old"; }
  m_export.OnFileExist = [](TmxCustomExport&, const std::string&, bool& canOverWrite) {
    canOverWrite = false;
  };
  ExportToFile(TmxExportType::xtExcel, "velho.doc");
  EXPECT_EQ(m_errors, std::vector<TmxExportError>{TmxExportError::xeFileExist});
  EXPECT_EQ(ReadFile(m_dir / "velho.XLS"), "old");
  EXPECT_EQ(ends, 2);
  m_export.OnFileExist = nullptr;

  // File mode without a name.
  m_errors.clear();
  m_export.FileName.clear();
  m_export.RunExport();
  EXPECT_EQ(m_errors, std::vector<TmxExportError>{TmxExportError::xeInvalidFileName});

  // No grid any more.
  m_errors.clear();
  m_grid.reset();
  EXPECT_EQ(m_export.DBGrid(), nullptr);
  m_export.FileName = (m_dir / "x.txt").string();
  m_export.RunExport();
  EXPECT_EQ(m_errors, std::vector<TmxExportError>{TmxExportError::xeComponentIsNull});
}

TEST_F(MxDBGridExportTest, SettingRules) {
  m_export.SetExportTypes({TmxExportType::xtHTML});
  EXPECT_TRUE(m_export.ExportTypes().Has(TmxExportType::xtExcel));  // the current type stays
  m_export.SetExportType(TmxExportType::xtSYLK);
  EXPECT_TRUE(m_export.ExportTypes().Has(TmxExportType::xtSYLK));
  EXPECT_TRUE(m_export.ExportTypes().Has(TmxExportType::xtHTML));
  EXPECT_FALSE(m_export.ExportTypes().Has(TmxExportType::xtTXT));

  m_export.SetRowNumberFormat("N.%d");
  m_export.SetRowNumberFormat("N.");
  EXPECT_EQ(m_export.RowNumberFormat(), "N.%d");
  ASSERT_EQ(m_boxes.asked.size(), 1u);
  EXPECT_EQ(m_boxes.asked[0].text, "The format has to contain %d string.");

  m_export.SetVersion("9");
  EXPECT_EQ(m_export.Version(), "2.37");

  TmxDBGridExport fresh;
  EXPECT_EQ(fresh.ExportType(), TmxExportType::xtExcel);
  EXPECT_EQ(fresh.ExportStyle, TmxExportStyle::xsView);
  EXPECT_EQ(fresh.Messages.Caption, "Exporting DBGrid");
  EXPECT_EQ(fresh.TruncateSymbol, "...");
  EXPECT_EQ(fresh.ExportTypes().Bits(), 0x3FFu);
  EXPECT_FALSE(fresh.CanExport());
  EXPECT_EQ(fresh.Settings().DocumentTitle, "TMXDBGRIDEXPORT");
}

// Runs `step` inside the next modal loop.
void InModalLoop(std::function<void(Tfrm_Selection&)> step) {
  QTimer::singleShot(0, [step] {
    auto* window = qobject_cast<Tfrm_Selection*>(QApplication::activeModalWidget());
    ASSERT_NE(window, nullptr);
    step(*window);
  });
}

void PressKey(QWidget& window, int key) {
  QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier);
  QApplication::sendEvent(window.focusWidget() != nullptr ? window.focusWidget() : &window, &press);
}

void Choose(Tfrm_Selection& window, const char* entry) {
  QComboBox& list = *window.SelectionCombo();
  const int index = list.findText(QString::fromLatin1(entry));
  ASSERT_GE(index, 0);
  list.setCurrentIndex(index);
  emit list.activated(index);
}

TEST_F(MxDBGridExportTest, SelectionWindowListsTheFormatsAndClipboardNeverAsksForAFile) {
  Add({"Alfa", "Rua A", "Centro", "SP", "011", "1234-5678"});
  m_export.ExportStyle = TmxExportStyle::xsFile;
  QStringList entries;
  bool radiosDisabled = false;
  InModalLoop([&](Tfrm_Selection& window) {
    for (int i = 0; i < window.SelectionCombo()->count(); ++i) {
      entries << window.SelectionCombo()->itemText(i);
    }
    EXPECT_EQ(window.SelectionCombo()->currentText(), "Microsoft Excel");
    EXPECT_EQ(window.windowTitle(), "Exportando ...");
    EXPECT_EQ(window.GroupBox()->title(), " Selecionar o Formato ");
    EXPECT_EQ(window.btn_Selection()->text(), "&Exportar");
    EXPECT_EQ(window.btn_Cancel()->text(), "&Cancelar");
    EXPECT_TRUE(window.rdo_File()->isChecked());
    EXPECT_EQ(window.IconImage()->pixmap().size(), QSize(31, 31));
    Choose(window, "Clipboard");
    radiosDisabled = !window.rdo_View()->isEnabled() && !window.rdo_File()->isEnabled();
    EXPECT_TRUE(window.rdo_File()->isChecked());
    PressKey(window, Qt::Key_Return);
  });
  m_export.ChooseAndExport();
  EXPECT_EQ(entries, (QStringList{"HTML", "Microsoft Word", "Microsoft Excel", "Text", "Rich Text",
                                  "Comma-Separated Text", "Tab-Separated Text",
                                  "Data Interchange Format", "SYLK Format", "Clipboard"}));
  EXPECT_TRUE(radiosDisabled);
  EXPECT_EQ(m_export.ExportType(), TmxExportType::xtClipboard);
  EXPECT_TRUE(m_saveDialog.requests.empty());
  EXPECT_TRUE(m_shell.requests.empty());
  EXPECT_EQ(m_clipboard.writes, 1);
  EXPECT_EQ(m_clipboard.text.substr(m_clipboard.text.size() - 29),
            "Criado: 08/12/2026 14:05:09\r\n");
  ASSERT_EQ(m_boxes.asked.size(), 1u);
  EXPECT_EQ(m_boxes.asked[0].caption, "Information");
  EXPECT_EQ(m_boxes.asked[0].text, "Copiando Para \xC3\x81rea de Trabalho");
}

TEST_F(MxDBGridExportTest, SaveDialogAsksWithTheFormatsFilterAndCancelStopsTheExport) {
  Add({"Alfa", "Rua A", "Centro", "SP", "011", "1234-5678"});
  m_export.ExportStyle = TmxExportStyle::xsView;
  InModalLoop([](Tfrm_Selection& window) {
    window.rdo_File()->click();
    PressKey(window, Qt::Key_Return);
  });
  m_export.ChooseAndExport();
  ASSERT_EQ(m_saveDialog.requests.size(), 1u);
  const TSaveDialogRequest& request = m_saveDialog.requests[0];
  EXPECT_EQ(request.Title, "Salvar Documento");
  EXPECT_EQ(request.Filter, "Excel Files (*.xls)|*.XLS");
  EXPECT_EQ(request.DefaultExt, "XLS");
  EXPECT_EQ(request.InitialDir, platform::ProgramFolderText());
  EXPECT_EQ(m_errors, std::vector<TmxExportError>{TmxExportError::xeUserCancelled});
  EXPECT_EQ(m_export.ExportStyle, TmxExportStyle::xsFile);

  // Accepted: the chosen name gets the format's extension and no viewer opens.
  m_errors.clear();
  m_saveDialog.answer = (m_dir / "planilha.xls").string();
  InModalLoop([](Tfrm_Selection& window) { PressKey(window, Qt::Key_Return); });
  m_export.FileName.clear();
  m_export.ChooseAndExport();
  EXPECT_TRUE(m_errors.empty());
  EXPECT_TRUE(std::filesystem::exists(m_dir / "planilha.XLS"));
  EXPECT_TRUE(m_shell.requests.empty());

  // Esc: nothing more happens, not even an error event.
  InModalLoop([](Tfrm_Selection& window) { PressKey(window, Qt::Key_Escape); });
  m_export.FileName.clear();
  m_export.ChooseAndExport();
  EXPECT_TRUE(m_errors.empty());
  EXPECT_EQ(m_saveDialog.requests.size(), 2u);
}

TEST_F(MxDBGridExportTest, ProgressWindowLayout) {
  Tfrm_ProgressForm& form = m_export.Progress();
  form.Start("Exportando ...", "Processando ...", 300, 80, 7);
  const int frame = form.frameGeometry().height() - form.geometry().height();
  const int client = 80 - frame;
  const QRect bar = form.ProgressBar()->geometry();
  EXPECT_EQ(form.ProgressLabel()->pos(), QPoint(8, 8));
  EXPECT_EQ(bar.left(), 8);
  EXPECT_EQ(bar.width(), form.width() - 16);
  EXPECT_EQ(bar.height(), 16);
  EXPECT_EQ(bar.top(), frame + (client - form.ProgressLabel()->height() - 16 - 16) / 2);
  EXPECT_EQ(form.ProgressBar()->maximum(), 7);
  form.Start("Exportando ...", "", 300, 80, 7);
  EXPECT_FALSE(form.ProgressLabel()->isVisible());
  EXPECT_EQ(form.ProgressBar()->geometry().top(), (80 - 16 - 16) / 2);
  form.hide();
}

}  // namespace
}  // namespace vorelia::exporter
