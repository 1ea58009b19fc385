#include "appinfo.h"
#include "platform/win32/win32userfeedback.h"
#include "window/commandline.h"
#include "window/win32/win32form1.h"

#include <windows.h>
#include <shellapi.h>

#include <string>
#include <vector>

namespace {

// The arguments as the command line gives them: "PAGESIFT.exe page.htm" in a console,
// or the file dropped on the program's icon in Explorer.
std::vector<std::u16string> arguments()
{
    std::vector<std::u16string> result;
    int count = 0;
    if (LPWSTR *words = CommandLineToArgvW(GetCommandLineW(), &count)) {
        for (int i = 1; i < count; ++i)
            result.emplace_back(reinterpret_cast<const char16_t *>(words[i]));
        LocalFree(words);
    }
    return result;
}

} // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int show)
{
    const CommandLine command = CommandLine::parse(arguments(), "PAGESIFT.exe", AppInfo::version);
    if (command.action != CommandLine::Action::OpenWindow) {
        // A window program has no console to answer on: the answer is a message box.
        const bool answer = command.action == CommandLine::Action::Answer;
        const int size = MultiByteToWideChar(CP_UTF8, 0, command.text.data(), static_cast<int>(command.text.size()),
                                             nullptr, 0);
        std::wstring text(static_cast<std::size_t>(size), L'\0');
        MultiByteToWideChar(CP_UTF8, 0, command.text.data(), static_cast<int>(command.text.size()), text.data(), size);
        MessageBoxW(nullptr, text.c_str(), L"PAGESIFT", answer ? MB_OK : MB_OK | MB_ICONERROR);
        return answer ? 0 : CommandLine::UsageStatus;
    }
    Win32UserFeedback feedback;
    Win32Form1 form(instance, feedback);
    feedback.setOwner(form.window());
    if (command.page)
        form.openPage(*command.page);
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
