// The main window frmSynch as designed in main_window.ui; its state comes from MainForm through the
// binder. Closing asks the controller first.
#pragma once

#include <QMainWindow>
#include <functional>
#include <memory>

namespace Ui {
class frmSynch;
}

namespace erpsync::qt {

class MainWindow : public QMainWindow {
  Q_OBJECT

 public:
  explicit MainWindow(QWidget* parent = nullptr);
  ~MainWindow() override;

  // Asked when the operator closes the window; false keeps it open.
  void setCloseHandler(std::function<bool()> handler) { closeHandler_ = std::move(handler); }

  Ui::frmSynch& ui() { return *ui_; }

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  std::unique_ptr<Ui::frmSynch> ui_;
  std::function<bool()> closeHandler_;
};

}  // namespace erpsync::qt
