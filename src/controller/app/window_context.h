// The run as the window's controller sees it: everything the operations share, and the window's form.
// Only the controller and the views below ui/qt take it; operations take the SyncContext inside.
#pragma once

#include <filesystem>
#include <utility>

#include "shared/sync_context.h"

namespace erpsync {

class MainForm;

struct WindowContext : SyncContext {
  WindowContext(Host& h, Clock& c, MainForm& f, std::filesystem::path folder)
      : SyncContext(h, c, std::move(folder)), form(f) {}
  MainForm& form;
};

}  // namespace erpsync
