// A notice shown inside the window, at its lower right corner, where the desktop has no notification
// area for balloons. It goes away by itself after a while or when clicked.
#pragma once

#include <QFrame>

class QLabel;
class QTimer;

namespace erpsync::qt {

class NoticePopup : public QFrame {
  Q_OBJECT

 public:
  explicit NoticePopup(QWidget* window);

  void showNotice(const QString& title, const QString& text);
  QString title() const;
  QString text() const;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;

 private:
  void place();
  QLabel* title_;
  QLabel* text_;
  QTimer* hideTimer_;
};

}  // namespace erpsync::qt
