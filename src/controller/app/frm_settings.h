// The settings wizard: central server name, branch and central company databases, the two switches
// and the default cost centre, written to Resources/Appsettings.ini. Finishing ends the program; the
// new settings take effect at the next start.
#pragma once

#include <memory>

#include "db/connection.h"

namespace erpsync {

struct WindowContext;
class SettingsForm;

class FrmSettings {
 public:
  // Wires the wizard's buttons (ctx.form.frmsettings) to this controller.
  explicit FrmSettings(WindowContext& ctx);
  FrmSettings(const FrmSettings&) = delete;
  FrmSettings& operator=(const FrmSettings&) = delete;

  WindowContext& ctx;
  SettingsForm& form;

  // Fills the server boxes and shows page 1.
  void load();
  // Page 1 -> 2: stores SYNCSERVER, lists the companies of both servers.
  void CMDshowcompany_Click();
  // Page 2 -> 3: stores the company codes, lists the branch's cost centres.
  void cmdshowCostCentres_Click();
  // Page 3 -> 4: stores every key, shows the summary, asks for a restart and ends the program.
  void cmdSave_Click();
  // One page back.
  void cmdBack_Click();

 private:
  // The wizard's own connections: the local startup catalog and the chosen branch company.
  std::unique_ptr<db::Connection> localStartup_;
  std::unique_ptr<db::Connection> branchCompany_;
};

// The startup catalog's company list: the ERP's active companies (application 33) and company 33.
inline constexpr const char* kCompanyListQuery =
    "Select * from tblcompany where (ApplicationID IN (33) and active=1) or companyID=33 order by CompanyCode ";

}  // namespace erpsync
