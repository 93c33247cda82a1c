// One run of the desktop program: the form model, the controller and the operations behind it, the three
// windows bound to the model, the Host and the keyboard hook.
#include "desktop_session.h"

#include <QApplication>
#include <QCoreApplication>
#include <QKeyEvent>

#include "ui_main_window.h"
#include "util/utf8_path.h"

namespace erpsync::qt {

namespace {
// The key code the window's key handler knows the Insert key by.
constexpr int kVbKeyInsert = 45;
}  // namespace

DesktopSession::DesktopSession(std::filesystem::path programFolder, Clock* clock)
    : clock_(clock ? *clock : systemClock_) {
  ctx_ = std::make_unique<WindowContext>(host_, clock_, form_, std::move(programFolder));
  frm_ = std::make_unique<FrmSynch>(*ctx_);
  frm_->hooks.AddTrayIcon = [this] { host_.addTrayIcon(); };
  frm_->hooks.RemoveTrayIcon = [this] { host_.removeTrayIcon(); };

  window_ = std::make_unique<MainWindow>();
  settingsWindow_ = std::make_unique<SettingsWindow>(form_.frmsettings);
  progressWindow_ = std::make_unique<ProgressWindow>(form_.frmInitialize, window_.get());
  host_.setWindow(window_.get());
  host_.setSettingsWizardOpener([this] { settingsWindow_->present(); });

  binder_ = std::make_unique<FormBinder>();
  binder_->setActiveControlSlot(&form_.activeControl);
  // The progress window is a window of its own; it is bound below with its controls.
  for (const QString& name : binder_->bindAll(form_, window_.get()))
    if (name != QString::fromStdString(form_.frmInitialize.name())) unbound_ << name;
  unbound_ << binder_->bindAll(form_.frmsettings, settingsWindow_.get());
  for (form::Control* c :
       std::initializer_list<form::Control*>{&form_.frmInitialize, &form_.frmInitialize.prg,
                                             &form_.frmInitialize.lblCAption, &form_.frmInitialize.cmdClose})
    if (!binder_->bind(*c, progressWindow_.get())) unbound_ << QString::fromStdString(c->name());

  binder_->forwardMouseDown(form_.lstVchtypes, &form_.lstVchtypes_MouseDown);
  binder_->forwardMouseDown(form_.lstMasterSettings, &form_.lstMasterSettings_MouseDown);
  binder_->forwardClick(form_.lblMaxIDS, &form_.onActivityMarksClicked);

  window_->setCloseHandler([this] {
    const bool close = !form_.onClose || form_.onClose();
    if (close) form_.window.setVisible(false);
    return close;
  });
  qApp->installEventFilter(this);
}

DesktopSession::~DesktopSession() {
  if (qApp) qApp->removeEventFilter(this);
  // The windows go before the model they show.
  binder_.reset();
  progressWindow_.reset();
  settingsWindow_.reset();
  window_.reset();
}

bool DesktopSession::load() {
  return frm_->load();
}

bool DesktopSession::eventFilter(QObject* watched, QEvent* event) {
  // The window sees its keys before its controls do; the control still gets the key afterwards.
  if (event->type() == QEvent::KeyPress) {
    auto* key = static_cast<QKeyEvent*>(event);
    auto* w = qobject_cast<QWidget*>(watched);
    QWidget* focus = QApplication::focusWidget();
    const bool firstDelivery = w && (w == focus || (!focus && w == window_.get()));
    if (firstDelivery && w->window() == window_.get() && key->key() == Qt::Key_Insert && form_.onKeyDown)
      form_.onKeyDown(kVbKeyInsert);
  }
  return QObject::eventFilter(watched, event);
}

std::filesystem::path programFolderFromArguments(const QStringList& arguments) {
  // Qt hands its text over as UTF-8; the environment's bytes are in the system's narrow encoding, which
  // is what a path made from a std::string reads.
  for (int i = 1; i < arguments.size(); ++i) {
    if (arguments[i] == "--home" && i + 1 < arguments.size()) return util::pathFromUtf8(arguments[i + 1].toStdString());
    if (arguments[i].startsWith("--home=")) return util::pathFromUtf8(arguments[i].mid(7).toStdString());
  }
  const QByteArray env = qgetenv("ERPSYNC_HOME");
  if (!env.isEmpty()) return env.toStdString();
  return util::pathFromUtf8(QCoreApplication::applicationDirPath().toStdString());
}

}  // namespace erpsync::qt
