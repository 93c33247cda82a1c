// The operations' view of the run (working day, status sink, AutoSynch switch) bound to the window's
// controls.
#include "app/form_binding.h"

#include <cmath>
#include <memory>
#include <utility>

#include "form/main_form.h"
#include "app/window_context.h"
#include "shared/val.h"

namespace erpsync {

namespace {

// The status labels of the main window as the operations' status sink.
class FormStatusSink final : public StatusSink {
 public:
  explicit FormStatusSink(MainForm& f) : form_(f) {}
  void status(const std::string& sentence) override { form_.lblStatus.setCaption(sentence); }
  void stage(const std::string& what) override { form_.lblStatusMain.setCaption(what); }
  void pushLock(const std::string& state) override { form_.lblserverStat.setCaption(state); }
  std::string currentStatus() const override { return form_.lblStatus.caption(); }

 private:
  MainForm& form_;
};

// The AutoSynch box and the timer of the main window as the operations' pass switch.
class FormPassSwitch final : public PassSwitch {
 public:
  explicit FormPassSwitch(MainForm& f) : form_(f) {}
  bool on() const override { return form_.ChkAutoSynch.value() == 1; }
  void set(bool on) override {
    // Not the operator's click: the box's handler is not raised.
    auto handler = std::exchange(form_.ChkAutoSynch.onClick, nullptr);
    form_.ChkAutoSynch.setValue(on ? 1 : 0);
    form_.ChkAutoSynch.onClick = std::move(handler);
    form_.timertrigger.setEnabled(on);
  }
  void setHidden(bool hidden) override { form_.ChkAutoSynch.setVisible(!hidden); }
  void tellState(const std::string& sentence) override { form_.lblAutoSynchState.setCaption(sentence); }

 private:
  MainForm& form_;
};

// A number typed or stored as text, as a whole number; 0 when it is none (out of range, negative).
long long wholeOrZero(double v) {
  return v >= 0 && v <= 2147483647.0 ? std::llround(v) : 0;
}

// The working day as the main window shows it: the date picker, the cost centre label (id in the tag,
// name in the caption), the interval box ("2 Minutes") and the selected entries of the voucher-type list.
WorkingDay workingDayOfForm(const MainForm& f) {
  WorkingDay d;
  d.date = f.dtpdate.value().dateOnly();
  d.costCentreId = wholeOrZero(Val(f.lblCostcentre.tag()));
  d.costCentreName = f.lblCostcentre.caption();
  d.intervalMinutes = wholeOrZero(Val(f.cbointerval.text()));
  for (const auto& item : f.lstVchtypes.items())
    if (item.selected)
      d.selectedVoucherTypeIds += (d.selectedVoucherTypeIds.empty() ? "" : ",") + std::to_string(item.itemData);
  return d;
}

struct FormBinding {
  explicit FormBinding(MainForm& f) : status(f), passes(f) {}
  FormStatusSink status;
  FormPassSwitch passes;
};

}  // namespace

void bindForm(WindowContext& ctx) {
  MainForm& f = ctx.form;
  auto binding = std::make_shared<FormBinding>(f);
  ctx.workingDaySource = [&f] { return workingDayOfForm(f); };
  ctx.statusSink = &binding->status;
  ctx.passSwitch = &binding->passes;
  ctx.binding = std::move(binding);
}

}  // namespace erpsync
