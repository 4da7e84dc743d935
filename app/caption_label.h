// A label that paints its own caption: black, left-aligned and vertically centred on one line,
// over the button-face colour, without a border. It takes no focus and handles no input.
#ifndef VANTREL_APP_CAPTION_LABEL_H_
#define VANTREL_APP_CAPTION_LABEL_H_

#include <QString>
#include <QWidget>

namespace vantrel {

class CaptionLabel final : public QWidget {
 public:
  explicit CaptionLabel(const QString& text, QWidget* parent = nullptr);

  const QString& text() const { return text_; }
  void setText(const QString& text);

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  QString text_;
};

}  // namespace vantrel

#endif  // VANTREL_APP_CAPTION_LABEL_H_
