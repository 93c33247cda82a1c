// The settings wizard frmsettings as designed in settings_window.ui; bound to MainForm::frmsettings.
#include "settings_window.h"

#include <QCloseEvent>
#include <QPointer>

#include "form/main_form.h"
#include "app_icon.h"
#include "ui_settings_window.h"

namespace erpsync::qt {

SettingsWindow::SettingsWindow(SettingsForm& form, QWidget* parent)
    : QWidget(parent, Qt::Window), form_(form), ui_(std::make_unique<Ui::frmsettings>()) {
  ui_->setupUi(this);
  setWindowIcon(appIcon());
  // The summary is written with a larger font once the wizard finishes.
  QPointer<SettingsWindow> self(this);
  form_.txtFinish.subscribe([self] {
    if (self) self->applySummaryFont();
  });
  applySummaryFont();
}

SettingsWindow::~SettingsWindow() = default;

void SettingsWindow::applySummaryFont() {
  if (form_.txtFinishFontSize == summaryFontSize_ || form_.txtFinishFontSize <= 0) return;
  summaryFontSize_ = form_.txtFinishFontSize;
  QFont f = ui_->txtFinish->font();
  // The size is in the points of the original form; below 9 reads badly on today's screens.
  f.setPointSize(std::max(9, summaryFontSize_));
  ui_->txtFinish->setFont(f);
}

void SettingsWindow::present() {
  show();
  raise();
  activateWindow();
}

void SettingsWindow::closeEvent(QCloseEvent* event) {
  form_.window.setVisible(false);
  event->accept();
}

}  // namespace erpsync::qt
