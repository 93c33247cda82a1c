// The pair fixture's upgraded testbed: made once per build of the test program by this program's own
// Update Database, as PairFixture::upgrade() runs it.
#include "pair_fixture.h"

#include <stdexcept>

namespace erpsync::test {

void copyUpgradedPair(const std::filesystem::path& home) {
  copyProgramMade(home, "pair-8-12-upgraded", [](const std::filesystem::path& dir) {
    testbed::InitOptions o;
    o.home = dir;
    o.items = 8;
    o.ledgers = 12;
    testbed::init(o);
    ScriptedHost host{false};
    FixedClock clock{db::DateTime{2026, 12, 5, 14, 5, 33}};
    MainForm form;
    WindowContext ctx{host, clock, form, dir};
    bindForm(ctx);
    ctx.LocalServerName = o.branchServer;
    ctx.SyncServerName = o.centralServer;
    ctx.LocalDbCode = o.branchDb;
    ctx.WebDbCode = o.centralDb;
    ctx.LocalConnection = db::openConnection(companyConnectionString(o.branchDb, o.branchServer), dir);
    ctx.WebConnection = db::openConnection(companyConnectionString(o.centralDb, o.centralServer), dir);
    capture::updateDatabase(ctx);
    const auto texts = host.boxTexts();
    if (texts.size() != 1 || texts[0] != "Database Updated.")
      throw std::runtime_error("Update Database did not end with \"Database Updated.\": " +
                               (texts.empty() ? std::string("no message") : texts.back()));
  });
}

}  // namespace erpsync::test
