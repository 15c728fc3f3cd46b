// The plan table of Step 3: the perform's plan, no report written, new plans as the job changes.
#include <QTableView>

#include "platform/work_folder.h"
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

class PlanTableTest : public WindowTest {
 protected:
  void SetUp() override {
    for (const char* name : {"report.txt", "a.txt", "b.txt", "x.txt", "c.txt"}) {
      dir_.WriteFile(name, name);
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

TEST_F(PlanTableTest, RowsAreThePlanAndNoReportIsWritten) {
  const std::string process = WorkFilePath(kProcessFileName);
  std::filesystem::create_directories(WorkFolder());
  std::ofstream(process) << "the last run's Process file\r\n";
  std::filesystem::remove(WorkFilePath(kErrorFileName));
  MessageBoxes boxes;  // a file named but not there is told
  OpenOnJob(Expand({"-CR*report.txt", "-EF", "3", "-SC*_", "-+R", "-FI",
                    "%D/a.txt*%D/b.txt*%D/gone.txt*%D/report.txt"}));
  PressAlt(Qt::Key_T);
  ASSERT_TRUE(Find<QTableView>("tblPlan")->isVisible());
  EXPECT_FALSE(Find("txtOP")->isVisible());
  const std::string d = dir_.path() + "/";
  const std::vector<PlanLine> plan = {
      {d + "a.txt", "report_1.txt", "+r; unique number: report.txt is taken"},
      {d + "b.txt", "report_2.txt", "+r; unique number: report.txt is taken"},
      {d + "gone.txt", "gone.txt", "error 200: Setting the file attribute failed"},
      {d + "report.txt", "report.txt", "+r; unchanged"}};
  EXPECT_TRUE(WaitForRows(plan.size())) << TableRows().size();
  EXPECT_EQ(TableRows(), plan);
  Click("chkAttention");  // every row here has a note
  EXPECT_EQ(TableRows(), plan);
  std::ifstream in(process);
  EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), "the last run's Process file\r\n");
  EXPECT_FALSE(std::filesystem::exists(WorkFilePath(kErrorFileName)));
  EXPECT_FALSE(std::filesystem::exists(HistoryFolder()));
}

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

// A plan's rows still on their way when the job changed belong to a plan no longer shown.
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
