#pragma once
// How the window and its controls are known to the system: the window classes
// and each control's id, its row in the controls table. The window tests read
// the controls back by these.
namespace lanqi::ui {

inline constexpr wchar_t kFormClass[] = L"LanqiForm1";
inline constexpr wchar_t kFrameClass[] = L"LanqiFrame1";
inline constexpr wchar_t kRecordsClass[] = L"LanqiRecords";
inline constexpr int kFirstControlId = 2000; // above the ids a list gives its own parts

constexpr int controlId(int row) {
    return kFirstControlId + row;
}

} // namespace lanqi::ui
