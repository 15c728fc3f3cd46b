#include "ui/intro_screen.h"

#include <QLabel>

#include "ui/ui_texts.h"

namespace qtarvox {

IntroScreen::IntroScreen(QWidget* parent) : Screen("pctIntro", parent) {
  setToolTip(QString::fromLatin1(ui_text::kIntroTooltip));
  for (size_t i = 0; i < labels_.size(); ++i) {
    const auto& text = ui_text::kIntroLabels[i];
    QLabel* label = new QLabel(QString::fromLatin1(text.text), this);
    label->setObjectName(QStringLiteral("lblIntro%1").arg(i + 1));
    label->setWordWrap(true);
    // The last label is left-aligned, the others centred.
    label->setAlignment(i + 1 < labels_.size() ? Qt::AlignHCenter | Qt::AlignTop
                                               : Qt::AlignLeft | Qt::AlignTop);
    if (text.points > 0) {
      QFont font = label->font();
      font.setPointSizeF(text.points);
      font.setBold(text.bold);
      label->setFont(font);
    }
    labels_[i] = label;
  }
}

void IntroScreen::Position(const FrameMetrics& metrics) {
  const auto rects = PositionIntroScreen(
      metrics.screen.width, metrics.screen.height, metrics.line_height,
      [this](int i, double width) {
        return labels_[static_cast<size_t>(i)]->heightForWidth(static_cast<int>(width));
      });
  for (size_t i = 0; i < labels_.size(); ++i) labels_[i]->setGeometry(ToPixels(rects[i]));
}

}  // namespace qtarvox
