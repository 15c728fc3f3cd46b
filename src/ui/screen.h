// What every screen panel of the window shares: it is laid out from the
// frame's figures and is told when a navigation button has shown it.
#pragma once

#include <QRect>
#include <QWidget>

#include "ui/layout.h"

namespace qtarvox {

// The figures a screen is laid out from.
struct FrameMetrics {
  double window_width = 0;   // W
  double window_height = 0;  // H
  double line_height = 0;    // the one-line height of labels and text boxes
  Rect screen;               // the screen rectangle every panel takes
};

class Screen : public QWidget {
 public:
  Screen(const char* object_name, QWidget* parent);

  // Places the screen's own controls; the panel already has its rectangle.
  virtual void Position(const FrameMetrics& metrics);
  // A navigation button has just shown the screen.
  virtual void Entered();
};

// Whole pixels for a rectangle: its edges are rounded, so neighbours that
// touch in the figures touch on screen too.
QRect ToPixels(const Rect& rect);

// Places a control of a panel inside the panel: the rounding of edges to
// whole pixels never lets it stick out.
void PlaceWithin(QWidget* widget, const Rect& rect);

// A horizontal rule across [x0, x1] at y, or a vertical one down [y0, y1] at x.
void PlaceHorizontalRule(QWidget* rule, double y, double x0, double x1);
void PlaceVerticalRule(QWidget* rule, double x, double y0, double y1);

// Gives `widget` the keyboard focus when it is enabled and shown; otherwise
// the focus stays where it is.
void FocusIfShown(QWidget* widget);

// Names for a screen reader what the controls below `root` leave unnamed:
// rules as separators, the scroll bars of every list and text box after
// their control, and a tree's hidden header after its tree.
void NameForScreenReaders(QWidget* root);

}  // namespace qtarvox
