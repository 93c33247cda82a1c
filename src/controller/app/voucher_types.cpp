// Voucher-type selection: which voucher types this branch synchronises.
#include "app/voucher_types.h"

#include <string>
#include <vector>

#include "form/main_form.h"
#include "shared/control_fill.h"
#include "shared/sync_context.h"
#include "shared/val.h"

namespace erpsync {

void FillSyncVchTypes(SyncContext& ctx) {
  auto& list = ctx.form.lstVchtypes;
  try {
    const std::string sql = "SELECT   VchTypeID, VchType From tblVchType WHERE  PrimaryCCIDS='" +
                            valText(ctx.form.lblCostcentre.tag()) + "' AND BLNUseForClientSync=1 Order by VchType ";
    FillControl(list, sql, true, false, ctx.LocalConnection.get(), ctx.host, &ctx.form.frmInitialize);

    const std::string stored = ctx.readSetting("SYNCHVCHTYPEIDS", "");
    if (!stored.empty()) {
      // "5;7;": every id is followed by ";", so the text after the last ";" is not an id.
      std::vector<std::string> parts;
      std::size_t start = 0;
      for (std::size_t p; (p = stored.find(';', start)) != std::string::npos; start = p + 1)
        parts.push_back(stored.substr(start, p - start));
      const std::vector<std::string>& ids = parts;
      for (int i = 0; i < list.listCount(); ++i) {
        for (const auto& id : ids)
          if (static_cast<double>(list.items()[static_cast<std::size_t>(i)].itemData) == Val(id))
            list.setSelected(i, true);
        if (list.selectedCount() >= static_cast<int>(ids.size())) break;
      }
    }
    if (ctx.hooks.setdatstartDet) ctx.hooks.setdatstartDet(ctx);
  } catch (const std::exception& e) {
    ctx.notice(e.what());
  }
}

void lstVchtypes_Click(SyncContext& ctx) {
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

void ToggleAllOnRightClick(SyncContext& ctx, int button, form::ListBox& list) {
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
