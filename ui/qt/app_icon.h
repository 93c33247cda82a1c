// The program's icon (window, tray), drawn rather than shipped as a file.
#pragma once

#include <QIcon>

namespace erpsync::qt {

QIcon appIcon();

}  // namespace erpsync::qt
