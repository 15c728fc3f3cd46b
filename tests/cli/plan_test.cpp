// --preview is the plan of the real run.
#include "cli/cli_fixture.h"

namespace qtarvox {
namespace {

// One file's record of --null output.
struct Record {
  std::string old_path, name, status, marks;
  bool operator==(const Record&) const = default;
};

std::ostream& operator<<(std::ostream& out, const Record& r) {
  return out << r.old_path << " -> " << r.name << " [" << r.status << "] " << r.marks;
}

// Four NUL-ended fields per file.
std::vector<Record> Records(const std::string& out) {
  std::vector<std::string> f;
  std::istringstream in(out);
  for (std::string field; std::getline(in, field, '\0');) f.push_back(field);
  f.resize((f.size() + 3) / 4 * 4);
  std::vector<Record> records;
  for (size_t i = 0; i < f.size(); i += 4) records.push_back({f[i], f[i + 1], f[i + 2], f[i + 3]});
  return records;
}

// Names and bytes only: what the renames alone decide.
Tree NamesAndBytes(Tree tree) {
  for (auto& [name, value] : tree) {
    if (value.starts_with('@')) continue;
    value = value.substr(0, value.find('<'));
  }
  return tree;
}

class Plan : public CliEndToEnd {
 protected:
  // The tree the records say the run leaves.
  Tree Apply(Tree tree, const std::vector<Record>& records) const {
    for (const auto& r : records) {
      EXPECT_TRUE(r.old_path.starts_with(dir_ + "/")) << r;
      const std::string old_name = r.old_path.substr(dir_.size() + 1);
      const size_t slash = old_name.rfind('/');
      const std::string new_name =
          (slash == std::string::npos ? "" : old_name.substr(0, slash + 1)) + r.name;
      if (new_name == old_name || !tree.contains(old_name)) continue;
      const std::string moved = tree[old_name];
      tree.erase(old_name);
      tree[new_name] = moved;
    }
    return tree;
  }

  std::string ErrorFile() const { return work_.Exists(kError) ? work_.ReadFile(kError) : ""; }
};

TEST_F(Plan, PrintedPlanIsWhatTheRunDoesFileByFile) {
  const std::string too_long(300, 'x');
  const std::pair<std::string, std::string> rows[] = {  // arguments, tree
      // Case-only changes, of the name and of the extension alone.
      {"-UC|-FI|%D/a.txt*%D/B.txt", "a.txt=1|B.txt=2|A.txt=3"},
      {"-EN*TXT|-FE|%D*N?txt", "a.txt=1|A.TXT=2|b.Txt=3"},
      // Trailing dots are dropped: "a." is committed as "a".
      {"-EN*.|-FE|%D*N?txt", "a.txt=1|a=2|b.txt=3"},
      {"-CR*x..|-FI|%D/a.txt*%D/b.txt*%D/x", "a.txt=1|b.txt=2|x=3"},
      // Two files onto one name, which is taken, and so are numbered names.
      {"-CR*c.txt|-FE|%D*N?txt", "a.txt=1|b.txt=2|c.txt=3|c_1.txt=4"},
      // A number freed by an earlier rename of the same run is free again.
      {"-CR*c.txt|-FE|%D*N?txt", "c_1.txt=1|x.txt=2"},
      {"-CR*c.txt|-NE|-FE|%D*N?txt", "a.txt=1|b.txt=2|c2.txt=3|c.txt=4"},
      // Chains: ab -> b while b is taken, then aab -> ab; and the other order.
      {"-RP*ab*b|-FI|%D/ab.txt*%D/aab.txt", "ab.txt=1|aab.txt=2|b.txt=3"},
      {"-RP*ab*b|-FE|%D*N?txt", "aab.txt=1|ab.txt=2"},
      // A prefix through a tree, where some prefixed names are taken.
      {"-AB*x_|-FE|%D*Y?txt", "a.txt=1|s/b.txt=2|s/x_b.txt=3|s/t/c.txt=4|s/t/x_c.txt=5"},
      // The same file twice: the second time it is gone.
      {"-UC|-FI|%D/a.txt*%D/a.txt", "a.txt=1"},
      {"-DF|1|-FE|%D*N?txt|-FI|%D/xa.txt", "xa.txt=1|xxa.txt=2"},
      {"-UC|-NE|E|-FE|%D/s*N\"%D*Y?txt\"*", "s/a.txt=1|b.txt=2"},
      {"-CR*b.txt|-FI|%D/a.txt*%D/b.txt", "a.txt=1|b.txt=2"},
      // Overwrite onto a name the trailing dot leaves: "x." is committed as "x".
      {"-EN|-FI|%D/x.txt", "x.txt=1|x=0"},
      // Errors: too long, only dots, missing, an attribute on a link, a read-only target.
      {"-AB*" + too_long + "|-FI|%D/a.txt*%D/gone.txt", "a.txt=1"},
      {"-CR*...|-FI|%D/a.txt", "a.txt=1"},
      {"-+H|-CR*l2|-FI|%D/link*%D/a.txt", "a.txt=1|link=@a.txt"},
      {"-CR*c.txt|-FI|%D/a.txt*%D/b.txt", "a.txt=1|b.txt=2|c.txt=0<ro>"},
      // Attributes: set by the run, never by the plan.
      {"-+R|-UC|-FE|%D*N?txt", "a.txt=1|b.txt=2<ro>|B.TXT=3"},
      // A file the run made read-only, then in the way of the next one.
      {"-+R|-CR*c.txt|-FI|%D/a.txt*%D/b.txt", "a.txt=1|b.txt=2"},
      {"-+H|-+A|-LC|-FI|%D/A.txt*%D/.B.txt", "A.txt=1|.B.txt=2"},
      // A hidden name that loses its dot.
      {"-DF|1|-FI|%D/.a.txt*%D/.b", "a.txt=1|.a.txt=2|.b=3"},
  };
  for (size_t i = 0; i < std::size(rows); ++i) {
    for (const int policy : {1, 2, 3}) {
      const auto& [row_args, tree] = rows[i];
      const std::string args = row_args + "|-EF|" + std::to_string(policy) + "|-SC*_";
      SCOPED_TRACE(args.substr(0, 120));
      StartRow(i * 3 + static_cast<size_t>(policy), T(tree));
      const Tree before = Snapshot(dir_);

      const Outcome plan = Run("--preview|--null|" + args);
      EXPECT_EQ(Snapshot(dir_), before) << "the plan changed the files";
      const std::vector<Record> planned = Records(plan.out);
      const std::string planned_errors = ErrorFile();

      const Outcome run = Run("-SU|-v|--null|" + args);
      const std::vector<Record> done = Records(run.out);
      EXPECT_EQ(planned, done);
      EXPECT_EQ(plan.code, run.code) << plan.err << run.err;
      EXPECT_EQ(planned_errors, ErrorFile());
      const Tree after = Snapshot(dir_);
      EXPECT_EQ(NamesAndBytes(after), NamesAndBytes(Apply(before, done)));
      for (const auto& r : done) {
        if (r.marks.find("+r") == std::string::npos) continue;
        EXPECT_NE(after.at(r.old_path.substr(dir_.size() + 1, r.old_path.rfind('/') - dir_.size()) +
                           r.name)
                      .find(kReadOnly),
                  std::string::npos)
            << r;
      }
    }
  }
}

// What a terminal shows: one line per file, marked where it is no plain rename.
TEST_F(Plan, ReadableLinesMarkWhatIsNotAPlainRename) {
  StartRow(0, T("report.txt=1|a.txt=2|b.txt=3|x.txt=4|Y.txt=5|z.TXT=6|c.txt=7<ro>"));
  const Outcome o = Run(
      "--preview|-CR*report.txt|-EF|3|-SC*_|-+R|-FI|%D/a.txt*%D/b.txt*%D/gone.txt*%D/report.txt");
  EXPECT_EQ(o.code, 1);
  EXPECT_EQ(o.out,
            Expand("%D/a.txt == report_1.txt (+r) (unique number: report.txt is taken)\n"
                   "%D/b.txt == report_2.txt (+r) (unique number: report.txt is taken)\n"
                   "%D/gone.txt == gone.txt (error 200: Setting the file attribute failed)\n"
                   "%D/report.txt == report.txt (+r) (unchanged)\n"));
  EXPECT_EQ(o.err, Expand("q-tarvox: -FI: no file %D/gone.txt\n") +
                       "q-tarvox: preview, nothing was changed: 2 renamed, 1 unchanged, 0 "
                       "skipped, 1 failed; Process file: " +
                       work_.PathOf(kProcess) + "; Error file: " + work_.PathOf(kError) + "\n");
  // Only the lines a preview writes.
  EXPECT_EQ(work_.ReadFile(kProcess),
            Expand("Current File : %D/a.txt\r\nCurrent File : %D/b.txt\r\n"
                   "Current File : %D/gone.txt\r\nCurrent File : %D/report.txt\r\n"));

  const Outcome skip = Run("--preview|-LC|-EF|1|-FI|%D/Y.txt*%D/x.txt*%D/z.TXT*%D/c.txt|-+N");
  EXPECT_EQ(skip.code, 0) << skip.err;
  EXPECT_EQ(skip.out, Expand("%D/Y.txt == y.txt (-r -h -a) (case only)\n"
                             "%D/x.txt == x.txt (-r -h -a) (unchanged)\n"
                             "%D/z.TXT == z.TXT (-r -h -a) (unchanged)\n"
                             "%D/c.txt == c.txt (-r -h -a) (unchanged)\n"));
  const Outcome taken = Run("--preview|-CR*c.txt|-EF|1|-FI|%D/x.txt|-q");
  EXPECT_EQ(taken.out, Expand("%D/x.txt == x.txt (skipped: name taken: c.txt)\n"));
  EXPECT_EQ(taken.err, "");
  const Outcome replace = Run("--preview|-CR*report.txt|-EF|2|-FI|%D/x.txt*%D/a.txt|-q");
  EXPECT_EQ(replace.out, Expand("%D/x.txt == report.txt (replaces an existing file)\n"
                                "%D/a.txt == report.txt (replaces an existing file)\n"));
  // A read-only file is never replaced.
  const Outcome refused = Run("--preview|-CR*c.txt|-EF|2|-FI|%D/x.txt|-q");
  EXPECT_EQ(refused.out, Expand("%D/x.txt == x.txt (error 75: Permission denied)\n"));
  EXPECT_EQ(refused.code, 1);
}

}  // namespace
}  // namespace qtarvox
