// The main window frmSynch as designed in main_window.ui; its state comes from MainForm through the binder.
#include "main_window.h"

#include <QCloseEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QStyle>

#include "app_icon.h"
#include "ui_main_window.h"

namespace erpsync::qt {

namespace {

const char* kStyle = R"(
#headerFrame { background: #eef3f9; border: 1px solid #c5d3e3; border-radius: 4px; }
#headerFrame QLabel { padding: 1px 2px; }
#Picture1 { background: #fffdf5; border: 1px solid #e0d3a8; border-radius: 4px; }
#capWelcome { color: #1b4f8a; }
#lblFirststatus { background: #ffffff; padding: 4px; }
#lblserverStat { color: #1b4f8a; }
#cmdConnect { text-align: center; }
)";

}  // namespace

MainWindow::MainWindow(QWidget* parent) : QMainWindow(parent), ui_(std::make_unique<Ui::frmSynch>()) {
  ui_->setupUi(this);
  setWindowIcon(appIcon());
  setStyleSheet(kStyle);
  ui_->cmdConnect->setIcon(appIcon());
  ui_->CmdSettings->setIcon(style()->standardIcon(QStyle::SP_FileDialogDetailedView));
  ui_->splitTabs->setStretchFactor(0, 3);
  ui_->splitTabs->setStretchFactor(1, 2);
  ui_->SSTab1->setCurrentIndex(0);
  ui_->SSTab2->setCurrentIndex(0);
  ui_->txtLog->setFont(QFont("Monospace", 9));
  ui_->txtLog->document()->setDefaultFont(QFont("Monospace", 9));
  // Enter in the log's filter box reads the log again with it, as the Refresh button does.
  connect(ui_->txtLogFilter, &QLineEdit::returnPressed, ui_->cmdLogRefresh, &QPushButton::click);
}

MainWindow::~MainWindow() = default;

void MainWindow::closeEvent(QCloseEvent* event) {
  if (closeHandler_ && !closeHandler_()) {
    event->ignore();
    return;
  }
  event->accept();
}

}  // namespace erpsync::qt
