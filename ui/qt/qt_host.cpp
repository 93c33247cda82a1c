// The Host of the desktop window: real message boxes, the event loop, the wait cursor, the tray icon and its
// balloons, the notifier program and quitting.
#include "qt_host.h"

#include <QApplication>
#include <QCursor>
#include <QMainWindow>
#include <QMessageBox>
#include <QStatusBar>
#include <QSystemTrayIcon>
#include <QWidget>

#include "app_icon.h"
#include "notice_popup.h"
#include "notify/spawn_detached.h"
#include "shared/network_state.h"

namespace erpsync::qt {

namespace {

QMessageBox::StandardButton standardButton(Answer a) {
  switch (a) {
    case Answer::OK:
      return QMessageBox::Ok;
    case Answer::Yes:
      return QMessageBox::Yes;
    case Answer::No:
      return QMessageBox::No;
    case Answer::Cancel:
      return QMessageBox::Cancel;
  }
  return QMessageBox::Ok;
}

QMessageBox::Icon boxIcon(Icon icon) {
  switch (icon) {
    case Icon::Critical:
      return QMessageBox::Critical;
    case Icon::Exclamation:
      return QMessageBox::Warning;
    case Icon::Question:
      return QMessageBox::Question;
    case Icon::Information:
      return QMessageBox::Information;
    case Icon::None:
      break;
  }
  return QMessageBox::NoIcon;
}

// The buttons a box offers, and the one its Escape key means.
QMessageBox::StandardButtons boxButtons(Buttons b) {
  switch (b) {
    case Buttons::OK:
      return QMessageBox::Ok;
    case Buttons::YesNo:
      return QMessageBox::Yes | QMessageBox::No;
    case Buttons::YesNoCancel:
      return QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
  }
  return QMessageBox::Ok;
}

bool offers(Buttons b, Answer a) {
  switch (b) {
    case Buttons::OK:
      return a == Answer::OK;
    case Buttons::YesNo:
      return a == Answer::Yes || a == Answer::No;
    case Buttons::YesNoCancel:
      return a != Answer::OK;
  }
  return false;
}

Answer answerOf(int button, Buttons buttons) {
  switch (button) {
    case QMessageBox::Yes:
      return Answer::Yes;
    case QMessageBox::No:
      return Answer::No;
    case QMessageBox::Cancel:
      return Answer::Cancel;
    case QMessageBox::Ok:
      return Answer::OK;
    default:
      // Closed some other way: what Escape would have meant.
      return buttons == Buttons::YesNoCancel ? Answer::Cancel : buttons == Buttons::YesNo ? Answer::No : Answer::OK;
  }
}

const char* kTrayTip = "ERP Sync";

}  // namespace

QtHost::QtHost(QObject* parent) : QObject(parent) {}

QtHost::~QtHost() {
  if (busy_) QApplication::restoreOverrideCursor();
}

void QtHost::setWindow(QWidget* window) {
  window_ = window;
}

Answer QtHost::messageBox(const std::string& text, Buttons buttons, Icon icon, const std::string& title,
                          Answer defaultAnswer) {
  Message m{text, buttons, icon, title, defaultAnswer};
  messages_.push_back(m);
  if (policy_) {
    if (std::optional<Answer> a = policy_(m)) return offers(buttons, *a) ? *a : answerOf(-1, buttons);
  }

  QString body = QString::fromStdString(text);
  body.replace("\r\n", "\n");
  QMessageBox box(window_ && window_->isVisible() ? window_.data() : nullptr);
  box.setTextFormat(Qt::PlainText);
  box.setIcon(boxIcon(icon));
  box.setWindowTitle(title.empty() ? QApplication::applicationDisplayName() : QString::fromStdString(title));
  box.setText(body);
  box.setStandardButtons(boxButtons(buttons));
  if (offers(buttons, defaultAnswer)) box.setDefaultButton(standardButton(defaultAnswer));
  if (buttons == Buttons::YesNoCancel) box.setEscapeButton(QMessageBox::Cancel);
  if (buttons == Buttons::OK) box.setEscapeButton(QMessageBox::Ok);

  // The operator answers with the normal pointer, whatever the operation had set.
  const bool wasBusy = busy_;
  if (wasBusy) setBusy(false);
  const int pressed = box.exec();
  if (wasBusy) setBusy(true);
  return answerOf(pressed, buttons);
}

void QtHost::doEvents() {
  QCoreApplication::processEvents(QEventLoop::AllEvents);
}

void QtHost::setBusy(bool busy) {
  if (busy == busy_) return;
  busy_ = busy;
  if (busy)
    QApplication::setOverrideCursor(QCursor(Qt::WaitCursor));
  else
    QApplication::restoreOverrideCursor();
}

void QtHost::showBalloon(const std::string& title, const std::string& text) {
  balloons_.push_back({title, text});
  const QString t = QString::fromStdString(title);
  const QString x = QString::fromStdString(text);
  if (tray_ && tray_->isVisible() && QSystemTrayIcon::isSystemTrayAvailable() && QSystemTrayIcon::supportsMessages()) {
    tray_->showMessage(t, x, QSystemTrayIcon::Information, 10000);
    return;
  }
  // No notification area: the same title and text inside the window.
  if (!window_) {
    qInfo("%s %s", qPrintable(t), qPrintable(x));
    return;
  }
  if (!popup_) popup_ = new NoticePopup(window_);
  popup_->showNotice(t, x);
  if (auto* mw = qobject_cast<QMainWindow*>(window_.data())) mw->statusBar()->showMessage(t + "  " + x, 30000);
}

bool QtHost::startNotifier(const std::filesystem::path& program, const std::string& text) {
  return notify::spawnDetached(program, {text});
}

void QtHost::quit() {
  quitRequested_ = true;
  // Queued: the handler that asked finishes first; before the event loop runs, main sees the flag.
  // exit, not quit: quit asks every window to close first, and the main window answers a close with
  // the exit question, so "Exiting now" would ask again and, answered with its default, not exit.
  QMetaObject::invokeMethod(qApp, [] { QCoreApplication::exit(0); }, Qt::QueuedConnection);
}

void QtHost::openSettingsWizard() {
  if (openWizard_) openWizard_();
}

void QtHost::addTrayIcon() {
  trayAdded_ = true;
  if (!tray_) {
    tray_ = new QSystemTrayIcon(appIcon(), this);
    tray_->setToolTip(kTrayTip);
    connect(tray_, &QSystemTrayIcon::activated, this, [this](QSystemTrayIcon::ActivationReason reason) {
      if (reason == QSystemTrayIcon::Trigger && window_) {
        window_->showNormal();
        window_->raise();
        window_->activateWindow();
      }
    });
  }
  if (QSystemTrayIcon::isSystemTrayAvailable()) tray_->show();
}

void QtHost::removeTrayIcon() {
  trayAdded_ = false;
  if (tray_) {
    tray_->hide();
    delete tray_;
    tray_ = nullptr;
  }
}

bool QtHost::isConnectedToInternet() {
  return IsWebConnected();
}

}  // namespace erpsync::qt
