#pragma once
// The remarks Text13: a multi-line edit field that Tab and Enter leave, and
// that takes typed and pasted text only as far as the program lets it in
// (one workbook cell's worth).
#include "program/program.h"

#include <windows.h>

namespace lanqi::ui::win32 {

void attachRemarksEdit(HWND memo, Program& program);

} // namespace lanqi::ui::win32
