#pragma once

#include <windows.h>

#include <string>

#include "core/text.h"

namespace tolvaris::testing {

// The text of a window as WM_GETTEXT gives it, also across threads and processes.
inline Text WindowText(HWND window) {
  char buffer[512] = {};
  SendMessageA(window, WM_GETTEXT, sizeof buffer, reinterpret_cast<LPARAM>(buffer));
  return Text(buffer);
}

inline std::string ClassName(HWND window) {
  char buffer[64] = {};
  GetClassNameA(window, buffer, sizeof buffer);
  return buffer;
}

// The window's rectangle in its parent's client coordinates.
inline RECT RectInParent(HWND window) {
  RECT rect{};
  GetWindowRect(window, &rect);
  MapWindowPoints(nullptr, GetParent(window), reinterpret_cast<POINT*>(&rect), 2);
  return rect;
}

struct TopLevelSearch {
  const char* className;
  const Text& title;
  HWND found = nullptr;
};

inline BOOL CALLBACK MatchOwnTopLevel(HWND window, LPARAM parameter) {
  auto* search = reinterpret_cast<TopLevelSearch*>(parameter);
  DWORD process = 0;
  GetWindowThreadProcessId(window, &process);
  if (process != GetCurrentProcessId() || !IsWindowVisible(window)) return TRUE;
  if (_stricmp(ClassName(window).c_str(), search->className) != 0) return TRUE;
  if (WindowText(window) != search->title) return TRUE;
  search->found = window;
  return FALSE;
}

// Finds a visible top-level window of this process (never one of another test program on the
// same display) with the given class and title (GBK), waiting up to timeoutMs for it.
inline HWND WaitForTopLevelWindow(const char* className, const Text& title, DWORD timeoutMs) {
  const DWORD start = GetTickCount();
  for (;;) {
    TopLevelSearch search{className, title};
    EnumWindows(&MatchOwnTopLevel, reinterpret_cast<LPARAM>(&search));
    if (search.found != nullptr) return search.found;
    if (GetTickCount() - start > timeoutMs) return nullptr;
    Sleep(10);
  }
}

inline BOOL CALLBACK TakeMessageText(HWND child, LPARAM found) {
  if (_stricmp(ClassName(child).c_str(), "Static") != 0) return TRUE;
  Text candidate = WindowText(child);
  if (candidate.IsEmpty()) return TRUE;  // the icon
  *reinterpret_cast<Text*>(found) = candidate;
  return FALSE;
}

inline BOOL CALLBACK CountButton(HWND child, LPARAM counter) {
  if (_stricmp(ClassName(child).c_str(), "Button") == 0) ++*reinterpret_cast<int*>(counter);
  return TRUE;
}

// The message text of a message box: its static control's text.
inline Text MessageBoxText(HWND box) {
  Text text;
  EnumChildWindows(box, &TakeMessageText, reinterpret_cast<LPARAM>(&text));
  return text;
}

inline int ButtonCount(HWND box) {
  int count = 0;
  EnumChildWindows(box, &CountButton, reinterpret_cast<LPARAM>(&count));
  return count;
}

}  // namespace tolvaris::testing
