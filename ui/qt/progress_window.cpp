// The progress window frmInitialize ("Easy Progress") as designed in progress_window.ui; bound to
// MainForm::frmInitialize.
#include "progress_window.h"

#include <QCloseEvent>
#include <QShowEvent>

#include "form/progress_form.h"
#include "app_icon.h"
#include "ui_progress_window.h"

namespace erpsync::qt {

ProgressWindow::ProgressWindow(form::ProgressForm& form, QWidget* anchor)
    : QWidget(nullptr, Qt::Tool | Qt::WindowStaysOnTopHint),
      form_(form),
      anchor_(anchor),
      ui_(std::make_unique<Ui::frmInitialize>()) {
  ui_->setupUi(this);
  setWindowIcon(appIcon());
}

ProgressWindow::~ProgressWindow() = default;

void ProgressWindow::closeEvent(QCloseEvent* event) {
  // Closed from its title bar: unloaded like the close button does, without the closed flag.
  form_.unload();
  event->accept();
}

void ProgressWindow::showEvent(QShowEvent* event) {
  if (anchor_ && anchor_->isVisible()) {
    const QRect a = anchor_->frameGeometry();
    move(a.center() - QPoint(width() / 2, height() / 2));
  }
  QWidget::showEvent(event);
}

}  // namespace erpsync::qt
