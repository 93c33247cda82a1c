// The progress window frmInitialize ("Easy Progress") as designed in progress_window.ui; bound to
// MainForm::frmInitialize. It appears centred over the main window.
#pragma once

#include <QPointer>
#include <QWidget>
#include <memory>

namespace Ui {
class frmInitialize;
}

namespace erpsync::form {
class ProgressForm;
}

namespace erpsync::qt {

class ProgressWindow : public QWidget {
  Q_OBJECT

 public:
  ProgressWindow(form::ProgressForm& form, QWidget* anchor);
  ~ProgressWindow() override;

  Ui::frmInitialize& ui() { return *ui_; }

 protected:
  void closeEvent(QCloseEvent* event) override;
  void showEvent(QShowEvent* event) override;

 private:
  form::ProgressForm& form_;
  QPointer<QWidget> anchor_;
  std::unique_ptr<Ui::frmInitialize> ui_;
};

}  // namespace erpsync::qt
