#pragma once

#include <QIcon>

namespace lv::gui {

// The program's icon (a tunnel portal with a car), from the built-in resources.
QIcon appIcon();

} // namespace lv::gui
