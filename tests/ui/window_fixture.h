// The real window on Qt's offscreen platform, its controls found by object names.
#pragma once

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QListWidget>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QStyle>
#include <QStyleOptionViewItem>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>
#include <deque>
#include <memory>
#include <ostream>
#include <set>
#include <string>
#include <vector>

#include "engine/job.h"
#include "ui/main_window.h"

// Failure messages show a QString as its text.
inline void PrintTo(const QString& text, std::ostream* out) {
  *out << '"' << text.toStdString() << '"';
}

namespace qtarvox {

// Whether a control shows all of its text in the room it has.
inline bool ShowsItWhole(const QWidget* w) {
  if (auto* label = qobject_cast<const QLabel*>(w)) {
    if (label->wordWrap()) return label->heightForWidth(label->width()) <= label->height();
    return label->sizeHint().width() <= label->width() &&
           label->sizeHint().height() <= label->height();
  }
  if (auto* push = qobject_cast<const QPushButton*>(w)) {
    // Its caption with a little room around it, whatever the style's least width.
    const QSize text = push->fontMetrics().size(Qt::TextShowMnemonic, push->text());
    return text.width() + 8 <= w->width() && text.height() + 4 <= w->height();
  }
  if (qobject_cast<const QAbstractButton*>(w) != nullptr) {
    return w->sizeHint().width() <= w->width() && w->sizeHint().height() <= w->height();
  }
  if (auto* list = qobject_cast<const QListView*>(w)) {
    const QRect last = list->visualRect(list->model()->index(list->model()->rowCount() - 1, 0));
    return list->verticalScrollBar()->maximum() == 0 && last.bottom() < list->viewport()->height();
  }
  if (qobject_cast<const QLineEdit*>(w) != nullptr) {
    return w->minimumSizeHint().height() <= w->height();
  }
  return true;
}

// The controls shown on `panel` and its inner panels, in `panel`'s coordinates.
inline void CollectShownControls(QWidget* panel, QPoint offset,
                                 std::vector<std::pair<QWidget*, QRect>>& out) {
  for (QWidget* w : panel->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
    if (!w->isVisible() || w->objectName().startsWith("Sep")) continue;
    EXPECT_TRUE(panel->rect().contains(w->geometry()))
        << w->objectName().toStdString() << " leaves its panel";
    if (w->objectName().startsWith("pct")) {
      CollectShownControls(w, offset + w->pos(), out);
    } else {
      out.emplace_back(w, w->geometry().translated(offset));
    }
  }
}

// No shown control of the panel is cut off, leaves its panel or overlaps another.
inline void ExpectWholeAndApart(QWidget* panel, const std::string& state) {
  SCOPED_TRACE(state);
  std::vector<std::pair<QWidget*, QRect>> controls;
  CollectShownControls(panel, {}, controls);
  for (size_t i = 0; i < controls.size(); ++i) {
    const auto& [w, rect] = controls[i];
    const std::string name = w->objectName().toStdString();
    EXPECT_TRUE(ShowsItWhole(w)) << name << " is cut off at " << rect.width() << "x"
                                 << rect.height();
    for (size_t j = i + 1; j < controls.size(); ++j) {
      EXPECT_FALSE(rect.intersects(controls[j].second))
          << name << " overlaps " << controls[j].first->objectName().toStdString();
    }
  }
}

class WindowTest : public ::testing::Test {
 protected:
  // Opens a window over `job` whose inside is `size` and makes it active.
  void Open(Job job = Job(), QSize size = {1024, 768}) {
    window_ = std::make_unique<MainWindow>(std::move(job));
    window_->resize(size);
    window_->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window_.get()));
    window_->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window_.get()));
  }

  template <typename T = QWidget>
  T* Find(const char* name) const {
    T* widget = window_->findChild<T*>(QString::fromLatin1(name));
    EXPECT_NE(widget, nullptr) << name;
    return widget;
  }

  const Job& job() const { return window_->wizard().job(); }

  // The text a label, button, box or text area shows.
  QString Text(const char* name) const {
    QWidget* w = Find(name);
    if (auto* label = qobject_cast<QLabel*>(w)) return label->text();
    if (auto* button = qobject_cast<QAbstractButton*>(w)) return button->text();
    if (auto* edit = qobject_cast<QLineEdit*>(w)) return edit->text();
    if (auto* box = qobject_cast<QPlainTextEdit*>(w)) return box->toPlainText();
    return {};
  }

  // The names of the screen panels that are shown.
  std::set<std::string> ShownPanels() const {
    std::set<std::string> shown;
    for (const char* name : {"pctIntro", "pctStep1", "pctStep2", "pctStep3", "pctHelp", "pctDir",
                             "pctIndividual", "pctExtension"}) {
      if (Find(name)->isVisible()) shown.insert(name);
    }
    return shown;
  }

  // "1" or "0" for each of cmdStep1, cmdStep2, cmdStep3: enabled or not.
  std::string StepButtons() const {
    std::string states;
    for (const char* name : {"cmdStep1", "cmdStep2", "cmdStep3"}) {
      states += Find(name)->isEnabled() ? '1' : '0';
    }
    return states;
  }

  std::string Focused() const {
    const QWidget* focus = window_->focusWidget();
    return focus == nullptr ? "" : focus->objectName().toStdString();
  }

  // Presses an access key and waits (half a second at most) for the animated click.
  void PressAlt(Qt::Key key) {
    bool clicked = false;
    std::vector<QMetaObject::Connection> watches;
    for (QAbstractButton* button : window_->findChildren<QAbstractButton*>()) {
      watches.push_back(
          QObject::connect(button, &QAbstractButton::clicked, [&clicked] { clicked = true; }));
    }
    QTest::keyClick(window_.get(), key, Qt::AltModifier);
    static_cast<void>(QTest::qWaitFor([&clicked] { return clicked; }, 500));
    for (const auto& watch : watches) QObject::disconnect(watch);
  }

  QListWidget* List() const { return Find<QListWidget>("lstActions"); }

  // Clicks an entry of lstActions on its text, or on its check box.
  void ClickEntry(int row, bool on_check_box = false) {
    QListWidget* list = List();
    QListWidgetItem* item = list->item(row);
    list->scrollToItem(item);
    const QRect rect = list->visualItemRect(item);
    QPoint at(rect.left() + rect.width() / 2, rect.center().y());
    if (on_check_box) {
      QStyleOptionViewItem option;
      option.initFrom(list);
      option.rect = rect;
      option.features = QStyleOptionViewItem::HasCheckIndicator | QStyleOptionViewItem::HasDisplay;
      at = list->style()
               ->subElementRect(QStyle::SE_ItemViewItemCheckIndicator, &option, list)
               .center();
    }
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, at);
  }

  // Ticks or unticks an entry as the space bar does, without highlighting it.
  void Tick(int row, bool ticked = true) {
    List()->item(row)->setCheckState(ticked ? Qt::Checked : Qt::Unchecked);
  }

  // Clicks a button as a user does.
  void Click(const char* name) {
    auto* button = Find<QAbstractButton>(name);
    ASSERT_TRUE(button->isVisible() && button->isEnabled()) << name;
    const bool push = qobject_cast<QPushButton*>(button) != nullptr;
    QTest::mouseClick(button, Qt::LeftButton, {},
                      push ? button->rect().center() : QPoint(8, button->height() / 2));
  }

  // Opens `path` in the folder tree as a user does.
  void OpenFolder(const std::string& path) {
    auto* tree = Find<QTreeWidget>("dirDir");
    QTreeWidgetItem* item = tree->topLevelItem(0);
    ASSERT_NE(item, nullptr);
    std::string at = item->data(0, Qt::UserRole).toByteArray().toStdString();
    ASSERT_TRUE(path.starts_with(at)) << path << " is not on the volume " << at;
    size_t from = at.size();
    while (from < path.size()) {
      if (path[from] == '/') ++from;
      const size_t end = std::min(path.find('/', from), path.size());
      const std::string next = path.substr(0, end);
      from = end;
      item->setExpanded(true);
      QTreeWidgetItem* child = nullptr;
      for (int i = 0; i < item->childCount() && child == nullptr; ++i) {
        if (item->child(i)->data(0, Qt::UserRole).toByteArray().toStdString() == next) {
          child = item->child(i);
        }
      }
      ASSERT_NE(child, nullptr) << next;
      item = child;
    }
    tree->scrollToItem(item);
    const QRect rect = tree->visualItemRect(item);
    QTest::mouseClick(tree->viewport(), Qt::LeftButton, {},
                      QPoint(std::max(rect.left(), 0) + 4, rect.center().y()));
  }

  // Waits until the file list, read on a thread of its own, is the browser's.
  void WaitForFileList() const {
    EXPECT_TRUE(
        QTest::qWaitFor([this] { return !window_->wizard().screen().files_pending; }, 20000));
  }

  // The texts of a list's rows, first to last.
  std::vector<std::string> Items(const char* list) const {
    WaitForFileList();
    std::vector<std::string> items;
    const QAbstractItemModel* model = Find<QListView>(list)->model();
    for (int row = 0; row < model->rowCount(); ++row) {
      items.push_back(model->index(row, 0).data().toString().toStdString());
    }
    return items;
  }

  // How many rows of a list are selected.
  qsizetype SelectedCount(const char* list) const {
    return Find<QListView>(list)->selectionModel()->selectedRows().size();
  }

  // Selects the rows of a list as a user does with Ctrl held.
  void Select(const char* list, std::initializer_list<int> rows) {
    WaitForFileList();
    auto* view = Find<QListView>(list);
    view->clearSelection();
    for (const int row : rows) {
      const QModelIndex index = view->model()->index(row, 0);
      view->scrollTo(index);
      QTest::mouseClick(view->viewport(), Qt::LeftButton, Qt::ControlModifier,
                        view->visualRect(index).center());
    }
  }

  // Replaces the text of a box by typing, one key at a time.
  void Type(const char* box, const QString& text) {
    auto* edit = Find<QLineEdit>(box);
    edit->selectAll();
    QTest::keyClick(edit, Qt::Key_Backspace);
    QTest::keyClicks(edit, text);
  }

  // Waits until a run started from Step 3 has ended, its questions answered.
  void WaitForRun() {
    ASSERT_TRUE(QTest::qWaitFor([this] { return !window_->wizard().screen().running; }, 60000));
  }

  std::unique_ptr<MainWindow> window_;
};

// Answers each modal message box with the next answer (then OK or No) and records it.
class MessageBoxes {
 public:
  struct Box {
    std::string caption, text;
    QMessageBox::Icon icon;
    QMessageBox::StandardButtons buttons;
  };
  explicit MessageBoxes(std::deque<QMessageBox::StandardButton> answers = {})
      : answers_(std::move(answers)) {
    QObject::connect(&timer_, &QTimer::timeout, [this] {
      auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
      if (box == nullptr || !box->isVisible()) return;
      shown.push_back({box->windowTitle().toStdString(), box->text().toStdString(), box->icon(),
                       box->standardButtons()});
      QAbstractButton* button = nullptr;
      if (!answers_.empty()) {
        button = box->button(answers_.front());
        answers_.pop_front();
      }
      if (button == nullptr) {
        button = box->button(box->standardButtons().testFlag(QMessageBox::Ok) ? QMessageBox::Ok
                                                                              : QMessageBox::No);
      }
      button->click();
    });
    timer_.start(5);
  }

  // The texts of the boxes shown so far.
  std::vector<std::string> texts() const {
    std::vector<std::string> all;
    for (const Box& box : shown) all.push_back(box.text);
    return all;
  }

  std::vector<Box> shown;

 private:
  std::deque<QMessageBox::StandardButton> answers_;
  QTimer timer_;
};

}  // namespace qtarvox
