#include "ui/screen.h"

#include <cmath>

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
  widget->setGeometry(ToPixels(rect) & QRect(QPoint(0, 0), panel->size()));
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

}  // namespace qtarvox
