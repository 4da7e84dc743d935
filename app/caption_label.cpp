#include "app/caption_label.h"

#include <QPainter>
#include <QPalette>

namespace vantrel {

CaptionLabel::CaptionLabel(const QString& text, QWidget* parent) : QWidget(parent), text_(text) {
  setFocusPolicy(Qt::NoFocus);
  setAttribute(Qt::WA_OpaquePaintEvent);
}

void CaptionLabel::setText(const QString& text) {
  text_ = text;
  update();
}

void CaptionLabel::paintEvent(QPaintEvent* /*event*/) {
  QPainter painter(this);
  painter.fillRect(rect(), palette().color(QPalette::Button));
  painter.setPen(Qt::black);
  painter.setFont(font());
  painter.drawText(rect(), Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine | Qt::TextDontClip,
                   text_);
}

}  // namespace vantrel
