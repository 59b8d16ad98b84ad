#pragma once
// The program's own message numbers, in one place so that no two uses share one.
#include <windows.h>

namespace klw {

// Keyboard pre-translation: the loop sends kKeyNotifyBase + the key message to the control
// before translating and dispatching it; a non-zero answer claims the key.
inline constexpr UINT kKeyNotifyBase = 0xBC00;

// Posted to the main window by the thread of a save after a change when that save has ended.
inline constexpr UINT kSaveEnded = WM_APP + 0x10;
// Posted to the main window from the console's thread: the terminal asks the program to end.
inline constexpr UINT kEndRequested = WM_APP + 0x11;
// Posted to the main window by the thread that watches the list's folder: something in it changed.
inline constexpr UINT kFolderChanged = WM_APP + 0x12;
// Posted to a form to report the errors of a drop once the drag has ended.
inline constexpr UINT kReportDropErrors = WM_APP + 0x4B;

// Between instances, registered by this name (one number for every process of the session):
// a later start asks the holder of its folder's list to come to the front.
inline constexpr const wchar_t* kActivateMessageName = L"KORVANE.LINKWALKER.Activate";

}  // namespace klw
