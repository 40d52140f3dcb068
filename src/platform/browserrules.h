#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

// The decisions of browser-window discovery that need no window system: which titles mark a
// web browser, which window of a z-ordered list is read, and how an address-bar text becomes
// an address. Plain C++ without Qt, so that the Win32 walk can be built and tested on its own.
namespace BrowserRules {

// True when the title holds one of the browser marks, matched case-sensitively anywhere.
bool isBrowserTitle(std::u16string_view title);

// The index of the first browser title in a list ordered topmost first, or -1. Windows below
// the first browser are never looked at, even when that browser yields no address.
std::ptrdiff_t firstBrowser(const std::vector<std::u16string> &titlesTopmostFirst);

// The address an address field shows. Chromium leaves out the scheme: "http://" is put in
// front only when the text has no scheme and its start looks like a host name.
std::u16string addressFromFieldText(std::u16string_view text);

} // namespace BrowserRules
