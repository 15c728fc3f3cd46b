#include "ui/screen.h"

#include <QAbstractScrollArea>
#include <QAccessible>
#include <QFrame>
#include <QHeaderView>
#include <QLabel>
#include <QScrollBar>
#include <QTreeWidget>
#include <cmath>

#include "ui/ui_texts.h"
#include "ui/widgets.h"

namespace qtarvox {
namespace {

constexpr int kRuleThickness = 2;

int Round(double v) { return static_cast<int>(std::lround(v)); }

}  // namespace

Screen::Screen(const char* object_name, QWidget* parent) : QWidget(parent) {
  setObjectName(QString::fromLatin1(object_name));
}

void Screen::Position(const FrameMetrics&) {}

void Screen::Entered() {}

QRect ToPixels(const Rect& rect) {
  const int left = Round(rect.left);
  const int top = Round(rect.top);
  return {left, top, Round(rect.right()) - left, Round(rect.bottom()) - top};
}

void PlaceWithin(QWidget* widget, const Rect& rect) {
  const QWidget* panel = widget->parentWidget();
  const QRect pixels = ToPixels(rect) & QRect(QPoint(0, 0), panel->size());
  if (auto* label = qobject_cast<QLabel*>(widget)) {
    PlaceCaption(label, pixels);
  } else {
    widget->setGeometry(pixels);
  }
}

void PlaceHorizontalRule(QWidget* rule, double y, double x0, double x1) {
  rule->setGeometry(Round(x0), Round(y) - kRuleThickness / 2, Round(x1) - Round(x0),
                    kRuleThickness);
}

void PlaceVerticalRule(QWidget* rule, double x, double y0, double y1) {
  rule->setGeometry(Round(x) - kRuleThickness / 2, Round(y0), kRuleThickness,
                    Round(y1) - Round(y0));
}

void FocusIfShown(QWidget* widget) {
  if (widget != nullptr && widget->isEnabled() && widget->isVisible()) widget->setFocus();
}

void NameForScreenReaders(QWidget* root) {
  for (QFrame* frame : root->findChildren<QFrame*>()) {
    const QFrame::Shape shape = frame->frameShape();
    if ((shape == QFrame::HLine || shape == QFrame::VLine) && frame->accessibleName().isEmpty()) {
      frame->setAccessibleName(QString::fromLatin1(ui_text::kSeparatorName));
    }
  }
  for (QAbstractScrollArea* area : root->findChildren<QAbstractScrollArea*>()) {
    // A tree's header scrolls with its tree; a control named by its label
    // (its buddy) has no name of its own.
    QWidget* named = qobject_cast<QHeaderView*>(area) != nullptr ? area->parentWidget() : area;
    QString name = named->accessibleName();
    if (QAccessibleInterface* seen = QAccessible::queryAccessibleInterface(named)) {
      if (name.isEmpty()) name = seen->text(QAccessible::Name);
    }
    if (name.isEmpty()) name = named->toolTip();
    area->verticalScrollBar()->setAccessibleName(name + QString::fromLatin1(ui_text::kScrollsDown));
    area->horizontalScrollBar()->setAccessibleName(name +
                                                   QString::fromLatin1(ui_text::kScrollsAcross));
  }
  for (QTreeWidget* tree : root->findChildren<QTreeWidget*>()) {
    if (tree->isHeaderHidden()) tree->headerItem()->setText(0, tree->accessibleName());
  }
}

}  // namespace qtarvox
