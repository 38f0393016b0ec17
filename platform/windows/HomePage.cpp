#include "platform/windows/HomePage.h"

#include <windows.h>

#include <shellapi.h>

#include <array>

namespace platform {

std::string HomePageFile() {
    std::array<char, 32768> program{};
    const DWORD length =
        ::GetModuleFileNameA(nullptr, program.data(), static_cast<DWORD>(program.size()));
    std::string folder(program.data(), length);
    folder.erase(folder.find_last_of("\\/") + 1);  // keeps the separator; all of it when none
    return folder + "doc\\index.html";
}

void OpenHomePage(void* ownerWindow) {
    ::ShellExecuteA(static_cast<HWND>(ownerWindow), "open", HomePageFile().c_str(), nullptr,
                    nullptr, SW_SHOWMAXIMIZED);
}

}  // namespace platform
