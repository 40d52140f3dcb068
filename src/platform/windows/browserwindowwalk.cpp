#include "platform/windows/browserwindowwalk.h"

#include "platform/browserrules.h"

#include <string_view>
#include <vector>

namespace BrowserWindowWalk {

namespace {

constexpr int kTitleChars = 1024;
constexpr int kClassChars = 256;

// The title is read as UTF-16 so that marks with characters outside code page 936 (Edge's
// zero-width space) still match; every character the ANSI title holds reads the same.
std::u16string titleOf(HWND window)
{
    wchar_t buffer[kTitleChars] = {};
    const int copied = GetWindowTextW(window, buffer, kTitleChars);
    static_assert(sizeof(wchar_t) == sizeof(char16_t));
    return std::u16string(reinterpret_cast<const char16_t *>(buffer), copied > 0 ? copied : 0);
}

BOOL CALLBACK browserWindowProc(HWND window, LPARAM found)
{
    if (!BrowserRules::isBrowserTitle(titleOf(window)))
        return TRUE;
    *reinterpret_cast<std::string *>(found) = findEditText(window);
    return FALSE;
}

} // namespace

std::string findWebAddress()
{
    std::string address;
    EnumWindows(browserWindowProc, reinterpret_cast<LPARAM>(&address));
    return address;
}

std::string findEditText(HWND window)
{
    char className[kClassChars] = {};
    const int copied = GetClassNameA(window, className, kClassChars);
    const std::string_view name(className, copied > 0 ? static_cast<std::size_t>(copied) : 0);
    if (name.ends_with("Edit"))
        return readWindowText(window);

    std::vector<HWND> children;
    for (HWND child = GetWindow(window, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
        children.push_back(child);
    for (HWND child : children) {
        std::string text = findEditText(child);
        if (!text.empty())
            return text;
    }
    return {};
}

std::string readWindowText(HWND window)
{
    if (!window)
        return {};
    const LRESULT length = SendMessageA(window, WM_GETTEXTLENGTH, 0, 0);
    if (length <= 0)
        return {};
    std::string buffer(static_cast<std::size_t>(length) + 1, '\0');
    const LRESULT copied = SendMessageA(window, WM_GETTEXT, buffer.size(), reinterpret_cast<LPARAM>(buffer.data()));
    buffer.resize(copied > 0 ? static_cast<std::size_t>(copied) : 0);
    return buffer;
}

} // namespace BrowserWindowWalk
