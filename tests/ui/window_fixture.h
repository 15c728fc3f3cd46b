// The real window on Qt's offscreen platform, found by object names as a user
// (or a test robot) finds its controls.
#pragma once

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QListWidget>
#include <QMessageBox>
#include <QStyle>
#include <QStyleOptionViewItem>
#include <QTest>
#include <QTimer>
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

  const Job& job() const { return window_->port().job(); }

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

  // Presses an access key and waits for the click it leads to (a button
  // pressed by its access key is clicked a moment later, as it is animated);
  // gives up after half a second when the key leads nowhere.
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

  std::unique_ptr<MainWindow> window_;
};

// Answers the next modal message box with `answer` and records what it showed.
class MessageBoxAnswer {
 public:
  explicit MessageBoxAnswer(QMessageBox::StandardButton answer) {
    QObject::connect(&timer_, &QTimer::timeout, [this, answer] {
      auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
      if (box == nullptr) return;
      timer_.stop();
      shown = true;
      caption = box->windowTitle().toStdString();
      text = box->text().toStdString();
      icon = box->icon();
      buttons = box->standardButtons();
      box->button(answer)->click();
    });
    timer_.start(5);
  }

  bool shown = false;
  std::string caption, text;
  QMessageBox::Icon icon = QMessageBox::Information;
  QMessageBox::StandardButtons buttons;

 private:
  QTimer timer_;
};

}  // namespace qtarvox
