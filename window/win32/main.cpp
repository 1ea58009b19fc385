#include "platform/win32/win32userfeedback.h"
#include "window/win32/win32form1.h"

#include <windows.h>

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int show)
{
    Win32UserFeedback feedback;
    Win32Form1 form(instance, feedback);
    ShowWindow(form.window(), show);
    UpdateWindow(form.window());

    // The window is the program: once it is gone, so is the program.
    MSG message;
    while (form.window() && GetMessageW(&message, nullptr, 0, 0) > 0) {
        if (!form.handleDialogKey(message)) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
    }
    return 0;
}
