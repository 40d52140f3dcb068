// The Win32 walk over browser-like windows, built with mingw-w64 and run under wine.
#include "platform/windows/browserwindowwalk.h"

#include <cstdio>
#include <string>

namespace {

int g_failures = 0;

void expect(const char *what, const std::string &actual, const std::string &wanted)
{
    if (actual == wanted) {
        std::printf("PASS   %s\n", what);
        return;
    }
    ++g_failures;
    std::printf("FAIL!  %s: got \"%s\", wanted \"%s\"\n", what, actual.c_str(), wanted.c_str());
}

HWND topLevel(const wchar_t *title)
{
    return CreateWindowExW(0, L"NotavoTestFrame", title, WS_OVERLAPPEDWINDOW, 0, 0, 400, 300,
                           nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
}

HWND child(HWND parent, const wchar_t *className, const char *text)
{
    HWND window = CreateWindowExW(0, className, L"", WS_CHILD | WS_VISIBLE, 0, 0, 100, 20, parent,
                                  nullptr, GetModuleHandleW(nullptr), nullptr);
    if (text)
        SendMessageA(window, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text));
    return window;
}

void raise(HWND window)
{
    SetWindowPos(window, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

void registerClasses()
{
    WNDCLASSW frame = {};
    frame.lpfnWndProc = DefWindowProcW;
    frame.hInstance = GetModuleHandleW(nullptr);
    frame.lpszClassName = L"NotavoTestFrame";
    RegisterClassW(&frame);
    frame.lpszClassName = L"NotavoTestPanel";
    RegisterClassW(&frame);
    // A class that only ends in "Edit", as browsers' own edit controls do.
    WNDCLASSW custom = {};
    GetClassInfoW(nullptr, L"Edit", &custom);
    custom.hInstance = GetModuleHandleW(nullptr);
    custom.lpszClassName = L"AddressEdit";
    RegisterClassW(&custom);
}

} // namespace

int main()
{
    registerClasses();
    using BrowserWindowWalk::findEditText;
    using BrowserWindowWalk::findWebAddress;

    expect("no browser window", findWebAddress(), "");

    // A first edit that is empty, a second one inside a container that holds the address.
    HWND netscape = topLevel(L"Start - Netscape 7.0");
    child(netscape, L"Edit", nullptr);
    HWND panel = child(netscape, L"NotavoTestPanel", nullptr);
    child(panel, L"NotavoTestPanel", nullptr);
    child(panel, L"Edit", "http://home.netscape.example/start");
    expect("second edit under a container", findEditText(netscape), "http://home.netscape.example/start");
    expect("the browser found", findWebAddress(), "http://home.netscape.example/start");

    // An edit class is read and not descended into; class names ending in "Edit" count.
    HWND explorer = topLevel(L"Home - Microsoft Internet Explorer");
    child(explorer, L"AddressEdit", "http://ie.example/");
    raise(explorer);
    expect("the topmost of two browsers", findWebAddress(), "http://ie.example/");
    raise(netscape);
    expect("the other one brought to the front", findWebAddress(), "http://home.netscape.example/start");

    // Titles that are no browser's, topmost: passed over.
    HWND plain = topLevel(L"Netscape");
    child(plain, L"Edit", "http://plain.example/");
    HWND lower = topLevel(L"Saved pages - offline explorer");
    child(lower, L"Edit", "http://lower.example/");
    raise(plain);
    raise(lower);
    expect("\"Netscape\" alone and a lower-case mark are no browsers", findWebAddress(),
           "http://home.netscape.example/start");

    // Today's browsers, Edge with the zero-width space in its name.
    HWND edge = topLevel(L"New tab - Microsoft\u200b Edge");
    child(edge, L"Edit", "https://edge.example/");
    raise(edge);
    expect("Edge's title", findWebAddress(), "https://edge.example/");

    // The topmost browser yields nothing: the walk stops there all the same.
    HWND empty = topLevel(L"Offline Explorer Pro");
    child(empty, L"Edit", nullptr);
    raise(empty);
    expect("the first browser wins even when empty", findWebAddress(), "");

    // A destroyed window reads as empty texts.
    DestroyWindow(empty);
    expect("after the empty browser closed", findWebAddress(), "https://edge.example/");
    expect("no window", BrowserWindowWalk::readWindowText(nullptr), "");

    // Texts arrive as code page 936 bytes when that is the system's code page.
    if (GetACP() == 936) {
        HWND chinese = topLevel(L"\u65b0\u95fb - Microsoft Internet Explorer");
        HWND field = child(chinese, L"Edit", nullptr);
        SetWindowTextW(field, L"http://\u4e2d\u6587.example/");
        raise(chinese);
        expect("code page 936 text", findWebAddress(), "http://\xd6\xd0\xce\xc4.example/");
    } else {
        std::printf("SKIP   code page 936 text: the ANSI code page is %u\n", GetACP());
    }

    std::printf("%s: %d failure(s)\n", g_failures ? "FAILED" : "OK", g_failures);
    return g_failures ? 1 : 0;
}
