// The settings wizard frmsettings as designed in settings_window.ui; bound to MainForm::frmsettings.
#pragma once

#include <QWidget>
#include <memory>

namespace Ui {
class frmsettings;
}

namespace erpsync {
class SettingsForm;
}

namespace erpsync::qt {

class SettingsWindow : public QWidget {
  Q_OBJECT

 public:
  explicit SettingsWindow(SettingsForm& form, QWidget* parent = nullptr);
  ~SettingsWindow() override;

  Ui::frmsettings& ui() { return *ui_; }
  // Raises the window and gives it the focus.
  void present();

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  void applySummaryFont();
  SettingsForm& form_;
  std::unique_ptr<Ui::frmsettings> ui_;
  int summaryFontSize_ = 0;
};

}  // namespace erpsync::qt
