#pragma once
#include <QIcon>
#include <QImage>

namespace lanqi::ui {

// The end of a log with its growth rings, `size` pixels square; needs no
// running application, so the build draws the desktop icons with it too.
QImage drawLogEnd(int size);

// The window's icon, the end of a log with its growth rings, at 16, 32 and
// 48 pixels.
QIcon drawWindowIcon();

} // namespace lanqi::ui
