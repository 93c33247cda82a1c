// The Host of the desktop window: real message boxes, the event loop, the wait cursor, the tray icon
// and its balloons, the notifier program and quitting.
#pragma once

#include <QObject>
#include <QPointer>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "form/host.h"
#include "notice_popup.h"

class QSystemTrayIcon;
class QWidget;

namespace erpsync::qt {

class QtHost : public QObject, public Host {
  Q_OBJECT

 public:
  struct Message {
    std::string text;
    Buttons buttons = Buttons::OK;
    Icon icon = Icon::None;
    std::string title;
    Answer defaultAnswer = Answer::OK;
  };
  struct Balloon {
    std::string title;
    std::string text;
  };
  // Answers a message box without showing it (tests, unattended demos); nullopt shows the box.
  using AnswerPolicy = std::function<std::optional<Answer>(const Message&)>;

  explicit QtHost(QObject* parent = nullptr);
  ~QtHost() override;

  // The main window: parent of the message boxes and home of the notices when there is no tray.
  void setWindow(QWidget* window);
  void setAnswerPolicy(AnswerPolicy policy) { policy_ = std::move(policy); }
  // What showing the settings wizard does (the window raises and takes the focus).
  void setSettingsWizardOpener(std::function<void()> opener) { openWizard_ = std::move(opener); }

  Answer messageBox(const std::string& text, Buttons buttons, Icon icon, const std::string& title,
                    Answer defaultAnswer) override;
  void doEvents() override;
  void setBusy(bool busy) override;
  void showBalloon(const std::string& title, const std::string& text) override;
  bool startNotifier(const std::filesystem::path& program, const std::string& text) override;
  void quit() override;
  void openSettingsWizard() override;
  bool isConnectedToInternet() override;

  // The program's icon in the notification area (tip "ERP Sync").
  void addTrayIcon();
  void removeTrayIcon();
  bool trayIconAdded() const { return trayAdded_; }

  bool quitRequested() const { return quitRequested_; }
  bool busy() const { return busy_; }
  // Every box asked for and every balloon shown, in order.
  const std::vector<Message>& messages() const { return messages_; }
  const std::vector<Balloon>& balloons() const { return balloons_; }
  // The in-window notice used when the desktop has no notification area (null until one was shown).
  NoticePopup* noticePopup() const { return popup_; }

 private:
  QPointer<QWidget> window_;
  QSystemTrayIcon* tray_ = nullptr;
  QPointer<NoticePopup> popup_;
  AnswerPolicy policy_;
  std::function<void()> openWizard_;
  std::vector<Message> messages_;
  std::vector<Balloon> balloons_;
  bool trayAdded_ = false;
  bool busy_ = false;
  bool quitRequested_ = false;
};

}  // namespace erpsync::qt
