// Filling list boxes, combo boxes and grids from a query.
#include "shared/control_fill.h"

#include <cstdlib>
#include <exception>

#include "db/connection.h"
#include "form/controls.h"
#include "form/host.h"
#include "form/progress_form.h"
#include "util/text.h"

namespace erpsync {

namespace {

// Column i of a row as a list entry needs it; a query with too few columns is the caller's mistake.
const db::Value& column(const db::Recordset& rs, std::size_t row, std::size_t i) {
  if (i >= rs.fields.size())
    throw db::DbError("Item cannot be found in the collection corresponding to the requested name or ordinal.");
  return rs.at(row, i);
}

class Filler {
 public:
  Filler(form::Control& control, bool showProgress, bool append, Host& host, form::ProgressForm* progress)
      : control_(control),
        list_(dynamic_cast<form::ListBox*>(&control)),
        combo_(dynamic_cast<form::ComboBox*>(&control)),
        grid_(dynamic_cast<form::Grid*>(&control)),
        showProgress_(showProgress),
        append_(append),
        host_(host),
        progress_(progress) {}

  bool fillable() const { return list_ || combo_ || grid_; }

  void run(const std::string& sql, db::Connection* connection) {
    db::Recordset rs;
    if (!query(sql, connection, rs)) return;
    try {
      fill(rs);
    } catch (const std::exception& e) {
      host_.setBusy(true);
      host_.doEvents();
      fail(e.what());
      return;
    }
    finish();
  }

 private:
  // The query, tried again after a dropped connection; false when it failed for good (reported).
  bool query(const std::string& sql, db::Connection* connection, db::Recordset& rs) {
    for (int retries = 0;; ++retries) {
      try {
        if (!connection || !connection->isOpen())
          throw db::DbError("Operation is not allowed when the object is closed.");
        rs = connection->query(sql);
        return true;
      } catch (const std::exception& e) {
        host_.setBusy(true);
        host_.doEvents();
        std::string description = e.what();
        if (description.find("Connection failure") != std::string::npos && retries < kConnectionFailureRetries) {
          host_.messageBox("Connection Restablished", Buttons::OK, Icon::Information);
          continue;
        }
        fail(description);
        return false;
      }
    }
  }

  void fill(const db::Recordset& rs) {
    if (!append_) {
      if (list_) list_->clear();
      if (combo_) combo_->clear();
      if (grid_) grid_->clear();
    }
    if (showProgress_ && !rs.empty()) {
      if (progress_) {
        progress_->show();
        shownProgress_ = true;
        progress_->lblCAption.setCaption("Loading " + std::to_string(rs.size()) + " Items. Please wait....");
        progress_->prg.setMin(0);
        progress_->prg.setMax(static_cast<int>(rs.size()));
        progress_->prg.setValue(0);
      }
      host_.setBusy(true);
    }
    if (grid_) {
      fillGrid(rs);
    } else {
      for (std::size_t r = 0; r < rs.size(); ++r) {
        std::string text = column(rs, r, 1).toString();
        long long data = column(rs, r, 0).toInt();
        if (list_) list_->addItem(std::move(text), data);
        if (combo_) combo_->addItem(std::move(text), data);
        stepRow();
      }
      if (list_ && list_->listCount() > 0) {
        // In a multi-select list, selecting by code would tick an entry the operator never chose.
        if (list_->multiSelect())
          list_->setListIndex(0);
        else
          list_->setSelected(0, true);
      }
      if (combo_ && combo_->listCount() > 0) combo_->setListIndex(0);
    }
  }

  void fillGrid(const db::Recordset& rs) {
    form::Grid& g = *grid_;
    const int n = static_cast<int>(rs.fields.size());
    // Appending keeps the rows already shown and writes the new ones into the trailing empty row.
    if (append_ && g.rows() >= 2) {
      if (g.cols() < n + 1) g.setCols(n + 1);
    } else {
      g.setCols(n + 1);
      g.setRows(1);
      g.setRows(2);
    }
    for (int c = 0; c < n; ++c) g.setText(0, c, text::trim(rs.fields[static_cast<std::size_t>(c)].name, " "));
    for (std::size_t r = 0; r < rs.size(); ++r) {
      const int row = g.rows() - 1;
      for (int c = 0; c < n; ++c) {
        const db::Value& v = rs.at(r, static_cast<std::size_t>(c));
        g.setText(row, c, v.isNull() ? "<NULL>" : v.toString());
      }
      g.setRows(g.rows() + 1);
      stepRow();
    }
  }

  void stepRow() {
    if (shownProgress_) progress_->prg.setValue(progress_->prg.value() + 1);
    host_.doEvents();
  }

  void finish() {
    if (shownProgress_) progress_->unload();
    host_.setBusy(false);
  }

  void fail(const std::string& description) {
    control_.setVisible(true);
    host_.messageBox(description, Buttons::OK, Icon::Critical);
    finish();
  }

  form::Control& control_;
  form::ListBox* list_;
  form::ComboBox* combo_;
  form::Grid* grid_;
  bool showProgress_;
  bool append_;
  Host& host_;
  form::ProgressForm* progress_;
  bool shownProgress_ = false;
};

}  // namespace

void FillControl(form::Control& control, const std::string& sql, bool showProgress, bool append,
                 db::Connection* connection, Host& host, form::ProgressForm* progress) {
  Filler filler(control, showProgress, append, host, progress);
  if (!filler.fillable()) return;
  filler.run(sql, connection);
}

bool SelectByItemData(form::ListBox& list, long long id) {
  for (int i = 0; i < list.listCount(); ++i) {
    if (std::llabs(list.items()[static_cast<std::size_t>(i)].itemData) == std::llabs(id)) {
      list.setSelected(i, true);
      return true;
    }
  }
  return false;
}

bool SelectByItemData(form::ComboBox& list, long long id) {
  for (int i = 0; i < list.listCount(); ++i) {
    if (std::llabs(list.itemData(i)) == std::llabs(id)) {
      list.setListIndex(i);
      return true;
    }
  }
  return false;
}

}  // namespace erpsync
