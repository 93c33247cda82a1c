// Keeps the widgets of a window in step with the plain C++ controls the operations work on. Every
// control is matched to the widget of the same objectName; model changes are shown on the widget,
// and what the operator does on a widget is handed to the control (click, tick, selection, page, date).
#pragma once

#include <QObject>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "form/controls.h"

class QTimer;
class QWidget;

namespace erpsync {
class ControlSet;
}

namespace erpsync::qt {

class FormBinder : public QObject {
  Q_OBJECT

 public:
  explicit FormBinder(QObject* parent = nullptr);
  ~FormBinder() override;

  // Binds every control of the set to the widget with its name under root (root itself included).
  // Timers get a QTimer of their own. Returns the names of the controls that found no widget.
  QStringList bindAll(const ControlSet& controls, QWidget* root);
  // Binds one control; false when root holds no widget of that name (timers always bind).
  bool bind(form::Control& control, QWidget* root);

  // Where the window keeps the control the operator is working on. While a handler runs because of
  // the operator (a click, a tick, a selection), *slot points at that control; afterwards it is
  // restored. May be null.
  void setActiveControlSlot(const form::Control** slot) { activeSlot_ = slot; }

  // Forwards mouse presses on the widget bound to control (1 left, 2 right, 4 middle) to *handler,
  // read when the press happens so the handler may be set after binding.
  void forwardMouseDown(const form::Control& control, const std::function<void(int)>* handler);
  // Forwards a click on the widget bound to control (a label, say) to *handler.
  void forwardClick(const form::Control& control, const std::function<void()>* handler);

  // Lists, combo boxes and grids are redrawn once per pass of the event loop, however many rows the
  // operation added; flush() brings them up to date at once.
  void flush();

  QWidget* widgetFor(const form::Control& control) const;
  QTimer* timerFor(const form::Timer& control) const;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  struct Binding;

  void connectWidget(Binding& b);
  void changed(Binding& b);
  void apply(Binding& b);
  void applyCommon(Binding& b);
  void applyCaption(Binding& b, const std::string& caption);
  void applyList(Binding& b, const form::ListBox& list);
  void applyCombo(Binding& b, const form::ComboBox& combo);
  void applyGrid(Binding& b, const form::Grid& grid);
  void applyTabs(Binding& b, const form::TabSet& tabs);
  void applyTimer(Binding& b, const form::Timer& timer);
  void listSelectionChanged(Binding& b);
  // Runs f with the control marked as the one the operator is working on.
  void asOperator(const form::Control& control, const std::function<void()>& f);
  Binding* bindingOf(const QObject* watched) const;

  std::vector<std::unique_ptr<Binding>> bindings_;
  std::shared_ptr<int> alive_;
  const form::Control** activeSlot_ = nullptr;
  int applying_ = 0;
  bool flushPosted_ = false;
};

}  // namespace erpsync::qt
