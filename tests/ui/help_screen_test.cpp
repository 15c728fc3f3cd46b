// The Help screen: contents, topics and buttons.
#include "help/compose_topic.h"
#include "ui/window_ports.h"
#include "window_fixture.h"

namespace qtarvox {
namespace {

class HelpScreenTest : public WindowTest {
 protected:
  void OpenHelp() {
    Open();
    PressAlt(Qt::Key_H);
    ASSERT_EQ(ShownPanels(), std::set<std::string>{"pctHelp"});
  }

  QListWidget* Toc() const { return Find<QListWidget>("lstTOC"); }
  QString Shown() const { return Find<QPlainTextEdit>("txtHelp")->toPlainText(); }

  void ClickRow(int row) {
    QListWidget* toc = Toc();
    toc->scrollToItem(toc->item(row));
    QTest::mouseClick(toc->viewport(), Qt::LeftButton, {},
                      toc->visualItemRect(toc->item(row)).center());
  }
};

TEST_F(HelpScreenTest, ShowsTheContentsARowItsTopicAndTheButtonsTheirRows) {
  OpenHelp();
  QListWidget* toc = Toc();
  ASSERT_EQ(toc->count(), 65);
  EXPECT_EQ(toc->item(12)->text(), "      1) Make filename into fully UPPERCASE");
  EXPECT_EQ(toc->currentRow(), -1);
  EXPECT_EQ(Focused(), "lstTOC");
  EXPECT_TRUE(toc->font().bold());
  EXPECT_DOUBLE_EQ(toc->font().pointSizeF(), 9.75);
  auto* text = Find<QPlainTextEdit>("txtHelp");
  EXPECT_DOUBLE_EQ(text->font().pointSizeF(), 12);
  EXPECT_TRUE(text->isReadOnly());
  EXPECT_EQ(Shown(), "");
  EXPECT_EQ(Find<QLabel>("lblTOC")->buddy(), toc);
  EXPECT_FALSE(toc->accessibleName().isEmpty());
  EXPECT_FALSE(text->accessibleName().isEmpty());

  ClickRow(8);
  EXPECT_EQ(Shown(), ForDisplay(help::ComposeTopic(8)));
  EXPECT_EQ(Toc()->toolTip(), "III) Actions (Step 1) : ");
  ClickRow(39);
  EXPECT_TRUE(Shown().startsWith("E) Process File\n\nThe process file contains")) << Shown().toStdString();
  ClickRow(1);  // the empty row empties the box
  EXPECT_EQ(Shown(), "");
  // The arrow keys choose rows as clicks do.
  ClickRow(12);
  QTest::keyClick(Toc(), Qt::Key_Down);
  EXPECT_EQ(Shown(), ForDisplay(help::ComposeTopic(13)));
  // The buttons choose their rows as a click would.
  const std::pair<Qt::Key, int> buttons[] = {{Qt::Key_A, 7}, {Qt::Key_C, 62}, {Qt::Key_K, 63}};
  for (const auto& [key, row] : buttons) {
    ClickRow(row);
    const QString clicked = Shown();
    ClickRow(0);
    PressAlt(key);
    EXPECT_EQ(Toc()->currentRow(), row);
    EXPECT_EQ(Shown(), clicked) << row;
    EXPECT_EQ(Toc()->toolTip(), Toc()->item(row)->text());
  }
  PressAlt(Qt::Key_A);
  EXPECT_TRUE(Shown().contains("\nVersion : 1.7.6\n")) << Shown().toStdString();
}

}  // namespace
}  // namespace qtarvox
