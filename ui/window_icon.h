#pragma once
#include <QIcon>

namespace lanqi::ui {

// The window's icon, the end of a log with its growth rings, at 16, 32 and
// 48 pixels.
QIcon drawWindowIcon();

} // namespace lanqi::ui
