// The settings wizard's pages.
#include "app/frm_settings.h"

#include "form/main_form.h"
#include "app/window_context.h"
#include "shared/val.h"
#include "shared/connections.h"
#include "shared/control_fill.h"

namespace erpsync {

namespace {

void addCompanies(WindowContext& ctx, db::Connection& c, form::ComboBox& box) {
  db::Recordset rs = c.query(kCompanyListQuery);
  for (std::size_t i = 0; i < rs.size(); ++i) {
    box.addItem(rs.at(i, "CompanyCode").toString());
    ctx.host.doEvents();
  }
}

}  // namespace

FrmSettings::FrmSettings(WindowContext& c) : ctx(c), form(c.form.frmsettings) {
  form.CMDshowcompany.onClick = [this] { CMDshowcompany_Click(); };
  form.cmdshowCostCentres.onClick = [this] { cmdshowCostCentres_Click(); };
  form.cmdSave.onClick = [this] { cmdSave_Click(); };
  form.cmdBack.onClick = [this] { cmdBack_Click(); };
}

void FrmSettings::load() {
  form.TXTSQLServerName.setText(ctx.LocalServerName);
  form.TXTsYNCsqlSERVERname.setText(ctx.SyncServerName);
  form.showPage(1);
}

void FrmSettings::CMDshowcompany_Click() {
  try {
    ctx.SyncServerName = form.TXTsYNCsqlSERVERname.text();
    ctx.writeSetting("SYNCSERVER", ctx.SyncServerName);

    // An unreachable central server is told below; its company list stays empty.
    try {
      OpenStartupConnection(ctx, ctx.SyncServerName);
    } catch (const std::exception&) {
    }
    form.lblFirststatus.setCaption("Loading companies.... ");
    // Going back and forward again must not list every company twice.
    form.cboOnlineCompany.clear();
    if (db::isOpen(ctx.StartupConnection)) addCompanies(ctx, *ctx.StartupConnection, form.cboOnlineCompany);
    if (!db::isOpen(ctx.StartupConnection)) ctx.host.messageBox(ctx.SyncServerName + " Not connected ");

    form.lblFirststatus.setCaption("Online Connection and companies.... ");
    form.cboLocalCompany.clear();
    localStartup_.reset();
    const std::string cs = startupConnectionString(ctx.saPassword, ctx.LocalServerName, ctx.sqlLogin.user);
    localStartup_ = ctx.makeConnection(cs);
    localStartup_->open(cs);
    addCompanies(ctx, *localStartup_, form.cboLocalCompany);

    form.cboLocalCompany.setText(ctx.readSetting("LOCALDBCODE", ""));
    form.cboOnlineCompany.setText(ctx.readSetting("WEBDBCODE", ""));
    form.chkKeepAlwaysON.setValue(Val(ctx.readSetting("KEEPAUTOSYNCHON", "1")) == 1 ? 1 : 0);
    form.chkShowDaystartEND.setValue(Val(ctx.readSetting("BLNSHOWDAYSTARTEND", "1")) == 1 ? 1 : 0);
    form.showPage(2);
  } catch (const std::exception& e) {
    ctx.host.messageBox(e.what(), Buttons::OK, Icon::Exclamation);
  }
}

void FrmSettings::cmdshowCostCentres_Click() {
  try {
    ctx.writeSetting("LOCALDBCODE", form.cboLocalCompany.text());
    ctx.writeSetting("WEBDBCODE", form.cboOnlineCompany.text());

    branchCompany_.reset();
    const std::string cs = companyConnectionString(form.cboLocalCompany.text(), ctx.LocalServerName, ctx.sqlLogin);
    branchCompany_ = ctx.makeConnection(cs);
    branchCompany_->open(cs);
    db::Recordset rs = branchCompany_->query("Select * from tblCostCentre Order by 2 ");
    form.cboCostCentre.clear();
    for (std::size_t i = 0; i < rs.size(); ++i)
      form.cboCostCentre.addItem(rs.at(i, "CCNAME").toString(), rs.at(i, "CCID").toInt());

    SelectByItemData(form.cboCostCentre, static_cast<long long>(Val(ctx.readSetting("DEFCOSTCENTREID", ""))));
    form.showPage(3);
  } catch (const std::exception& e) {
    ctx.host.messageBox(e.what(), Buttons::OK, Icon::Exclamation);
  }
}

void FrmSettings::cmdSave_Click() {
  try {
    // Without a chosen cost centre there is no id to store; the operator picks one first.
    const int cc = form.cboCostCentre.listIndex();
    if (cc < 0) {
      ctx.host.messageBox("Please select a cost centre", Buttons::OK, Icon::Exclamation);
      return;
    }
    form.showPage(4);
    ctx.writeSetting("LOCALDBCODE", form.cboLocalCompany.text());
    ctx.writeSetting("WEBDBCODE", form.cboOnlineCompany.text());
    ctx.writeSetting("KEEPAUTOSYNCHON", form.chkKeepAlwaysON.value() == 1 ? "1" : "0");
    ctx.writeSetting("BLNSHOWDAYSTARTEND", form.chkShowDaystartEND.value() == 1 ? "1" : "0");
    ctx.writeSetting("DEFCOSTCENTREID", std::to_string(form.cboCostCentre.itemData(cc)));

    form.txtFinishFontSize = 12;
    form.txtFinish.setText("DESKTOP CONNECTION : " + ctx.LocalServerName + "\\ " + form.cboLocalCompany.text() +
                           "\r\n" + "WEB CONNECTION : " + ctx.SyncServerName + "\\ " + form.cboOnlineCompany.text() +
                           "\r\n" + "Cost centre : " + form.cboCostCentre.text());
    if (form.fraFinished.visible()) {
      ctx.host.messageBox("PLease reastart the application  to get effect the new settings.Exiting now", Buttons::OK,
                          Icon::Information);
      ctx.host.quit();
    }
  } catch (const std::exception& e) {
    ctx.host.messageBox(e.what(), Buttons::OK, Icon::Exclamation);
  }
}

void FrmSettings::cmdBack_Click() {
  const int page = form.visiblePage();
  if (page > 1) form.showPage(page - 1);
}

}  // namespace erpsync
