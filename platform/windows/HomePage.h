#pragma once

#include <string>

namespace platform {

// The program's home page: the documentation installed with it, doc\index.html in the
// program's folder.
std::string HomePageFile();

// Asks the shell to open the home page, maximised, in the program the system opens such
// pages with (the web browser). `ownerWindow` is the HWND of the window that asks. The
// result does not matter: nothing is reported.
void OpenHomePage(void* ownerWindow);

}  // namespace platform
