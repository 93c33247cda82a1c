// A notice shown inside the window, at its lower right corner, where the desktop has no notification area for
// balloons.
#include "notice_popup.h"

#include <QEvent>
#include <QLabel>
#include <QTimer>
#include <QVBoxLayout>

namespace erpsync::qt {

namespace {
constexpr int kMargin = 16;
constexpr int kShownMs = 12000;
}  // namespace

NoticePopup::NoticePopup(QWidget* window) : QFrame(window) {
  setObjectName("noticePopup");
  setFrameShape(QFrame::StyledPanel);
  setAutoFillBackground(true);
  setStyleSheet(
      "#noticePopup { background: #fffbe6; border: 1px solid #c9a227; border-radius: 6px; }"
      "#noticeTitle { font-weight: bold; color: #6b5200; }");
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(12, 8, 12, 10);
  title_ = new QLabel(this);
  title_->setObjectName("noticeTitle");
  title_->setTextFormat(Qt::PlainText);
  text_ = new QLabel(this);
  text_->setObjectName("noticeText");
  text_->setTextFormat(Qt::PlainText);
  text_->setWordWrap(true);
  layout->addWidget(title_);
  layout->addWidget(text_);
  setFixedWidth(360);
  hideTimer_ = new QTimer(this);
  hideTimer_->setSingleShot(true);
  connect(hideTimer_, &QTimer::timeout, this, &QWidget::hide);
  window->installEventFilter(this);
  hide();
}

void NoticePopup::showNotice(const QString& title, const QString& text) {
  title_->setText(title);
  text_->setText(text);
  adjustSize();
  place();
  raise();
  show();
  hideTimer_->start(kShownMs);
}

QString NoticePopup::title() const {
  return title_->text();
}
QString NoticePopup::text() const {
  return text_->text();
}

void NoticePopup::place() {
  QWidget* w = parentWidget();
  if (!w) return;
  move(w->width() - width() - kMargin, w->height() - height() - kMargin - 24);
}

bool NoticePopup::eventFilter(QObject* watched, QEvent* event) {
  if (watched == parentWidget() && event->type() == QEvent::Resize) place();
  return QFrame::eventFilter(watched, event);
}

void NoticePopup::mousePressEvent(QMouseEvent*) {
  hide();
}

}  // namespace erpsync::qt
