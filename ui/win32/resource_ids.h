#pragma once
// Resource ids shared by lanqi.rc and the code (the resource compiler reads
// this file too, so it holds plain defines only).
#define LANQI_ICON 1
#ifdef __cplusplus
namespace lanqi::ui::win32 {
inline constexpr int kIconId = LANQI_ICON;
}
#endif
