// The plan table of Step 3 shows what `q-tarvox --preview` prints for the
// same job, row for row, leaves the report files and the undo history alone,
// and follows the job as it changes.
#include <sys/stat.h>

#include <QAbstractItemModel>
#include <QCheckBox>
#include <QTableView>
#include <filesystem>
#include <fstream>

#include "platform/work_folder.h"
#include "program.h"
#include "run/undo_history.h"
#include "run/work_files.h"
#include "temp_dir.h"
#include "ui/plan_table.h"
#include "window_fixture.h"

namespace qtarvox {
namespace {

// A file of the plan: its old path, the name it gets, and the note.
struct PlanLine {
  std::string old_path, name, marks;
  bool operator==(const PlanLine&) const = default;
};

std::ostream& operator<<(std::ostream& out, const PlanLine& line) {
  return out << line.old_path << " -> " << line.name << " [" << line.marks << "]";
}

// What --preview --null prints: four NUL-ended fields per file.
std::vector<PlanLine> PrintedPlan(const std::string& out) {
  std::vector<std::string> fields;
  for (size_t at = 0; at < out.size();) {
    const size_t end = std::min(out.find('\0', at), out.size());
    fields.push_back(out.substr(at, end - at));
    at = end + 1;
  }
  std::vector<PlanLine> lines;
  for (size_t i = 0; i + 3 < fields.size(); i += 4) {
    lines.push_back({fields[i], fields[i + 1], fields[i + 3]});
  }
  EXPECT_EQ(fields.size() % 4, 0u) << "a record is cut short";
  return lines;
}

// The file's bytes and its identity: a file replaced by another shows.
std::string Fingerprint(const std::string& path) {
  struct stat st {};
  if (stat(path.c_str(), &st) != 0) return "(none)";
  std::ifstream in(path, std::ios::binary);
  return std::to_string(st.st_ino) + ":" + std::string(std::istreambuf_iterator<char>(in), {});
}

class PlanTableTest : public WindowTest {
 protected:
  void SetUp() override {
    for (const auto& [name, text] : {std::pair{"report.txt", "1"},
                                     {"a.txt", "2"},
                                     {"b.txt", "3"},
                                     {"x.txt", "4"},
                                     {"Y.txt", "5"},
                                     {"z.TXT", "6"},
                                     {"c.txt", "7"}}) {
      dir_.WriteFile(name, text);
    }
    std::filesystem::remove_all(HistoryFolder());
  }

  // `args` with %D standing for the files' folder.
  std::vector<std::string> Expand(std::vector<std::string> args) const {
    for (auto& arg : args) {
      for (size_t at; (at = arg.find("%D")) != std::string::npos;) arg.replace(at, 2, dir_.path());
    }
    return args;
  }

  // What the command line's plan prints for the job, run with work files of its own.
  std::vector<PlanLine> CommandLinePlan(const std::vector<std::string>& job) const {
    std::vector<std::string> args{"--preview", "--null"};
    args.insert(args.end(), job.begin(), job.end());
    TempDir work;
    const pid_t pid = StartProgram(args, {"QTARVOX_WORK_DIR=" + work.path()}, dir_.path(),
                                   work.PathOf("out"), work.PathOf("err"));
    EXPECT_LT(WaitProgram(pid), 1000) << work.ReadFile("err");
    return PrintedPlan(work.ReadFile("out"));
  }

  // Opens the window on Step 3 with the job as the command line gives it.
  void OpenOnJob(const std::vector<std::string>& job) {
    window_ = std::make_unique<MainWindow>();
    window_->resize(1024, 768);
    window_->StartFromCommandLine(job, [this] { window_->show(); });
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window_.get()));
    ASSERT_EQ(ShownPanels(), std::set<std::string>{"pctStep3"});
  }

  // The rows the table shows, top to bottom.
  std::vector<PlanLine> TableRows() const {
    const QAbstractItemModel* model = Find<QTableView>("tblPlan")->model();
    std::vector<PlanLine> rows;
    for (int row = 0; row < model->rowCount(); ++row) {
      const auto cell = [&](int column) {
        return model->index(row, column).data().toString().toStdString();
      };
      rows.push_back({cell(2) + cell(0), cell(1), cell(3)});
    }
    return rows;
  }

  // Waits for the table to show `count` rows.
  bool WaitForRows(size_t count) const {
    return QTest::qWaitFor([&] { return TableRows().size() == count; }, 20000);
  }

  TempDir dir_;
};

TEST_F(PlanTableTest, RowsAreWhatPreviewPrintsAndNoReportIsWritten) {
  const std::vector<std::string> jobs[] = {
      // Unique numbers, an attribute, an unchanged name and an error.
      {"-CR*report.txt", "-EF", "3", "-SC*_", "-+R", "-FI",
       "%D/a.txt*%D/b.txt*%D/gone.txt*%D/report.txt"},
      // Case only, unchanged names, attributes taken off.
      {"-LC", "-EF", "1", "-FI", "%D/Y.txt*%D/x.txt*%D/z.TXT*%D/c.txt", "-+N"},
      // A name taken: skipped; then replaced.
      {"-CR*c.txt", "-EF", "1", "-FI", "%D/x.txt"},
      {"-CR*report.txt", "-EF", "2", "-FI", "%D/x.txt*%D/a.txt"},
      // Plain renames beside an unchanged name.
      {"-RP*a*q", "-EF", "1", "-FI", "%D/a.txt*%D/z.TXT*%D/x.txt"},
  };
  const std::string process = WorkFilePath(kProcessFileName);
  const std::string errors = WorkFilePath(kErrorFileName);
  std::filesystem::create_directories(WorkFolder());
  std::ofstream(process) << "the last run's Process file\r\n";
  std::ofstream(errors) << "the last run's Error file\r\n";
  const std::string process_before = Fingerprint(process);
  const std::string errors_before = Fingerprint(errors);

  for (const auto& job : jobs) {
    SCOPED_TRACE(job.front());
    const std::vector<PlanLine> printed = CommandLinePlan(Expand(job));
    ASSERT_FALSE(printed.empty());
    MessageBoxes boxes;  // a file named but not there may be told
    OpenOnJob(Expand(job));
    PressAlt(Qt::Key_T);
    ASSERT_TRUE(Find<QTableView>("tblPlan")->isVisible());
    EXPECT_FALSE(Find("txtOP")->isVisible());
    EXPECT_TRUE(WaitForRows(printed.size())) << TableRows().size() << " of " << printed.size();
    EXPECT_EQ(TableRows(), printed);

    // Narrowed to what needs attention: every row with a note.
    std::vector<PlanLine> noted;
    for (const auto& line : printed) {
      if (!line.marks.empty()) noted.push_back(line);
    }
    Click("chkAttention");
    EXPECT_EQ(TableRows(), noted);
    Click("chkAttention");
    EXPECT_EQ(TableRows(), printed);
  }
  EXPECT_EQ(Fingerprint(process), process_before);
  EXPECT_EQ(Fingerprint(errors), errors_before);
  EXPECT_FALSE(std::filesystem::exists(HistoryFolder()));
}

// The table follows the job while Step 3 shows: a taken name is skipped,
// then, with "Add a unique number", numbered, with the separator typed.
TEST_F(PlanTableTest, ChangingTheCollisionOptionOrSeparatorPlansAgain) {
  OpenOnJob(Expand({"-CR*c.txt", "-EF", "1", "-FI", "%D/x.txt"}));
  PressAlt(Qt::Key_T);
  ASSERT_TRUE(WaitForRows(1));
  EXPECT_EQ(TableRows()[0].marks, "skipped: name taken: c.txt");
  // Any name when none is given.
  const auto shows = [this](const std::string& name) {
    return QTest::qWaitFor(
        [&] {
          const auto rows = TableRows();
          return rows.size() == 1 && (name.empty() || rows[0].name == name) &&
                 rows[0].marks == "unique number: c.txt is taken";
        },
        20000);
  };
  Click("optAppendNumber");
  EXPECT_TRUE(shows(""));
  Type("txtSep", "-");
  EXPECT_TRUE(shows("c-1.txt"));
  EXPECT_EQ(TableRows()[0].old_path, dir_.path() + "/x.txt");
}

// A plan's rows still on their way when the job changed belong to a plan
// no longer shown: they never reach the table.
TEST(PlanTableModel, RowsOfAPlanNoLongerShownAreDropped) {
  PlanTableModel model(nullptr);
  const auto rows = [](const char* name) { return std::vector<PlanRow>{{name, name, "", ""}}; };
  const uint64_t first = model.NewPlan();
  const uint64_t second = model.NewPlan();
  model.Append(first, rows("late.txt"));
  EXPECT_EQ(model.rowCount(), 0);
  model.Append(second, rows("a.txt"));
  model.Append(second, rows("b.txt"));
  ASSERT_EQ(model.rowCount(), 2);
  EXPECT_EQ(model.row(1).old_name, "b.txt");
  model.NewPlan();
  model.Append(second, rows("c.txt"));
  EXPECT_EQ(model.rowCount(), 0);
}

}  // namespace
}  // namespace qtarvox
