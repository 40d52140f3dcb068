#pragma once

#include <windows.h>

#include <string>

// The walk over the desktop's windows that finds the topmost browser's address field, in
// plain Win32 so that it builds and is tested without Qt. Texts are the code page 936 bytes
// the windows answer with; the caller decodes them.
namespace BrowserWindowWalk {

// The address of the topmost browser window in z-order, or empty. The walk stops at the first
// window whose title holds a browser mark, even when that window yields nothing.
std::string findWebAddress();

// The text of the first edit field with non-empty text among `window` and its descendants,
// depth-first; a window whose class name ends in "Edit" is read and not descended into.
std::string findEditText(HWND window);

// The text of one window, read with WM_GETTEXTLENGTH and WM_GETTEXT.
std::string readWindowText(HWND window);

} // namespace BrowserWindowWalk
