// Whether a Win32 window lives where the tests run (Wine, with or without an X
// display): created, painted, clicked and closed through its message loop. The
// front end's tests build on this.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

namespace {

int paints = 0;
int clicks = 0;

LRESULT CALLBACK windowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_PAINT: {
        PAINTSTRUCT paint;
        HDC context = ::BeginPaint(window, &paint);
        ::TextOutW(context, 4, 4, L"p\u00E0gina", 6);
        ::EndPaint(window, &paint);
        ++paints;
        return 0;
    }
    case WM_COMMAND:
        if (HIWORD(wParam) == BN_CLICKED)
            ++clicks;
        return 0;
    case WM_DESTROY:
        ::PostQuitMessage(7);
        return 0;
    default:
        return ::DefWindowProcW(window, message, wParam, lParam);
    }
}

TEST(Win32Window, IsPaintedClickedAndClosed)
{
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = windowProcedure;
    windowClass.hInstance = ::GetModuleHandleW(nullptr);
    windowClass.lpszClassName = L"PagesiftTestWindow";
    ASSERT_TRUE(::RegisterClassExW(&windowClass));
    HWND window = ::CreateWindowExW(0, windowClass.lpszClassName, L"PAGESIFT", WS_OVERLAPPEDWINDOW, 0, 0, 320, 200,
                                    nullptr, nullptr, windowClass.hInstance, nullptr);
    ASSERT_TRUE(window);
    HWND button = ::CreateWindowExW(0, L"BUTTON", L"Sfoglia...", WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON, 8, 40, 100,
                                    24, window, nullptr, windowClass.hInstance, nullptr);
    ASSERT_TRUE(button);

    ::ShowWindow(window, SW_SHOW);
    ::UpdateWindow(window);
    EXPECT_GT(paints, 0);

    ::SetWindowTextW(window, L"p\u00E0gina \u20AC");
    wchar_t title[32] = {};
    ::GetWindowTextW(window, title, 32);
    EXPECT_EQ(std::wstring(title), L"p\u00E0gina \u20AC");

    ::SendMessageW(button, BM_CLICK, 0, 0);
    EXPECT_EQ(clicks, 1);

    ::PostMessageW(window, WM_CLOSE, 0, 0);
    MSG message{};
    const ULONGLONG deadline = ::GetTickCount64() + 10'000;
    bool quit = false;
    while (!quit && ::GetTickCount64() < deadline) {
        ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 100, QS_ALLINPUT);
        while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            if (message.message == WM_QUIT) {
                quit = true;
                break;
            }
            ::DispatchMessageW(&message);
        }
    }
    EXPECT_TRUE(quit);
    EXPECT_EQ(message.wParam, 7u);
    EXPECT_FALSE(::IsWindow(window));
}

} // namespace
