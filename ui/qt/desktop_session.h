// One run of the desktop program: the form model, the controller and the operations behind it, the
// three windows bound to the model, the Host and the keyboard hook. main() and the window tests both
// build exactly this.
#pragma once

#include <QObject>
#include <QStringList>
#include <filesystem>
#include <memory>

#include "form/clock.h"
#include "app/frm_synch.h"
#include "form/main_form.h"
#include "shared/sync_context.h"
#include "form_binder.h"
#include "main_window.h"
#include "progress_window.h"
#include "qt_host.h"
#include "settings_window.h"

namespace erpsync::qt {

class DesktopSession : public QObject {
  Q_OBJECT

 public:
  // clock: null for the workstation clock.
  explicit DesktopSession(std::filesystem::path programFolder, Clock* clock = nullptr);
  ~DesktopSession() override;

  // The window's load. False when the program is to end at once (no local server name).
  bool load();

  MainForm& form() { return form_; }
  FrmSynch& controller() { return *frm_; }
  WindowContext& context() { return *ctx_; }
  QtHost& host() { return host_; }
  MainWindow& window() { return *window_; }
  SettingsWindow& settingsWindow() { return *settingsWindow_; }
  ProgressWindow& progressWindow() { return *progressWindow_; }
  FormBinder& binder() { return *binder_; }
  // Controls of the three windows that found no widget of their name (empty when the forms are complete).
  const QStringList& unboundControls() const { return unbound_; }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  QtHost host_;
  SystemClock systemClock_;
  Clock& clock_;
  MainForm form_;
  std::unique_ptr<WindowContext> ctx_;
  std::unique_ptr<FrmSynch> frm_;
  std::unique_ptr<MainWindow> window_;
  std::unique_ptr<SettingsWindow> settingsWindow_;
  std::unique_ptr<ProgressWindow> progressWindow_;
  std::unique_ptr<FormBinder> binder_;
  QStringList unbound_;
};

// The program folder: --home DIR on the command line, else ERPSYNC_HOME, else the executable's folder.
std::filesystem::path programFolderFromArguments(const QStringList& arguments);

}  // namespace erpsync::qt
