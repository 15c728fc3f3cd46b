// Making the screens' controls: each with the object name tests and screen
// readers find it by, its caption and its tooltip.
#pragma once

#include <QFontMetrics>
#include <QFrame>
#include <QLabel>
#include <QListWidget>
#include <QSignalBlocker>
#include <QString>
#include <algorithm>
#include <string>
#include <vector>

#include "ui/ui_texts.h"

namespace qtarvox {

template <typename W>
W* Make(const char* name, QWidget* parent) {
  W* widget = new W(parent);
  widget->setObjectName(QString::fromLatin1(name));
  return widget;
}

inline QLabel* MakeLabel(const char* name, const char* text, QWidget* parent) {
  QLabel* label = Make<QLabel>(name, parent);
  label->setText(QString::fromLatin1(text));
  return label;
}

// Places a word-wrapped caption at `rect`, a little narrower where its
// closing " :" would otherwise be left alone on its last line: the word
// before the colon then goes down with it.
inline void PlaceCaption(QLabel* label, QRect rect) {
  // As shown: an access key's "&" takes no room.
  const QString text = QString(label->text()).remove(QLatin1Char('&')).trimmed();
  if (label->wordWrap() && text.endsWith(QLatin1String(" :"))) {
    const QFontMetrics metrics(label->font());
    const auto lines = [&](const QString& shown, int width) {
      return metrics.boundingRect(QRect(0, 0, width, 1 << 20), Qt::TextWordWrap, shown).height();
    };
    const QString head = text.left(text.size() - 2);
    // The colon alone makes a line of its own: narrower, until it does not.
    for (int step = 0; step < 40 && rect.width() > metrics.averageCharWidth() &&
                       lines(text, rect.width()) > lines(head, rect.width());
         ++step) {
      rect.setWidth(rect.width() - metrics.averageCharWidth());
    }
  }
  label->setGeometry(rect);
}

// A list whose long rows wrap onto a second line instead of being cut.
inline void WrapRows(QListView* list) {
  list->setUniformItemSizes(false);
  list->setWordWrap(true);
  list->setTextElideMode(Qt::ElideNone);
  list->setResizeMode(QListView::Adjust);
}

template <typename B>
B* MakeButton(const char* name, const char* caption, QWidget* parent) {
  B* button = Make<B>(name, parent);
  button->setText(QString::fromLatin1(caption));
  return button;
}

template <typename B>
B* MakeButton(const ui_text::ControlText& text, QWidget* parent) {
  B* button = MakeButton<B>(text.name, text.caption, parent);
  button->setToolTip(QString::fromLatin1(text.tooltip));
  return button;
}

inline QFrame* MakeRule(const char* name, QFrame::Shape shape, QWidget* parent) {
  QFrame* rule = Make<QFrame>(name, parent);
  rule->setFrameShape(shape);
  rule->setFrameShadow(QFrame::Sunken);
  return rule;
}

// The width a push button needs to show `caption` whole, with some room
// around it.
inline double CaptionWidth(const QWidget* button, const char* caption) {
  return button->fontMetrics().size(Qt::TextShowMnemonic, QString::fromLatin1(caption)).width() +
         16;
}

// The height a push button needs for one line of caption.
inline double CaptionHeight(const QWidget* button) { return button->fontMetrics().height() + 10; }

// Bytes (a file name) as a widget shows them.
inline QString Shown(const std::string& bytes) { return QString::fromStdString(bytes); }

// Bytes kept with an item, as they were.
inline QByteArray Kept(const std::string& bytes) {
  return QByteArray(bytes.data(), static_cast<qsizetype>(bytes.size()));
}
inline std::string FromKept(const QVariant& value) { return value.toByteArray().toStdString(); }

// Makes the list show `items` (each kept with its item, too); a list that
// shows them already is left alone, so its selection stays. No signal of the
// list is sent.
inline void SyncList(QListWidget* list, const std::vector<std::string>& items) {
  bool same = list->count() == static_cast<int>(items.size());
  for (int row = 0; same && row < list->count(); ++row) {
    same = FromKept(list->item(row)->data(Qt::UserRole)) == items[static_cast<size_t>(row)];
  }
  if (same) return;
  const QSignalBlocker quiet(list);
  list->clear();
  for (const std::string& text : items) {
    auto* item = new QListWidgetItem(Shown(text), list);
    item->setData(Qt::UserRole, Kept(text));
  }
}

}  // namespace qtarvox
