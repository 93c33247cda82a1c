// Voucher-type selection: which voucher types this branch synchronises.
#include "app/voucher_types.h"

#include <string>
#include <vector>

#include "form/main_form.h"
#include "shared/control_fill.h"
#include "app/window_context.h"
#include "shared/val.h"

namespace erpsync {

void showVoucherTypes(MainForm& form, const std::vector<session::VoucherTypeChoice>& types) {
  auto& list = form.lstVchtypes;
  list.clear();
  for (const auto& t : types) list.addItem(t.name, t.id);
  for (std::size_t i = 0; i < types.size(); ++i)
    if (types[i].selected) list.setSelected(static_cast<int>(i), true);
}

void fillVoucherTypes(WindowContext& ctx) {
  try {
    showVoucherTypes(ctx.form, session::readVoucherTypeChoices(ctx, ctx.form.lblCostcentre.tag()));
  } catch (const std::exception& e) {
    ctx.notice(e.what());
  }
}

void onVoucherTypesClicked(WindowContext& ctx) {
  auto& list = ctx.form.lstVchtypes;
  // Selections made by code (restoring the stored choice) must not overwrite the stored choice.
  if (ctx.form.activeControl != &list) return;
  try {
    std::string ids;
    for (const auto& item : list.items())
      if (item.selected) ids += std::to_string(item.itemData) + ";";
    ctx.writeSetting("SYNCHVCHTYPEIDS", ids);
  } catch (const std::exception& e) {
    // A choice that was not stored comes back different after the next connect; the operator is told.
    ctx.notice(std::string(e.what()) + "Synchronisation VchTypes");
  }
}

void ToggleAllOnRightClick(WindowContext& ctx, int button, form::ListBox& list) {
  if (button != 2) return;
  try {
    const int current = list.listIndex();
    if (current < 0 || current >= list.listCount()) return;
    const bool state = list.selected(current);
    for (int i = 0; i < list.listCount(); ++i) list.setSelected(i, state);
    // Leave the operator's entry as the current one, as the list had it.
    list.setListIndex(current);
  } catch (const std::exception& e) {
    ctx.host.messageBox(e.what(), Buttons::OK, Icon::Exclamation);
  }
}

}  // namespace erpsync
