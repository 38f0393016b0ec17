// The message loops of the program: the main one, the modal one of a dialog, and the event
// pass of a long operation.
#pragma once

#include <windows.h>

#include <functional>

namespace ui::win32 {

// Hands the message to its window, after the form it belongs to has taken the keys it handles.
void DispatchToWindow(const MSG& msg);

// Runs until the quit message comes; its exit code.
int RunMessageLoop();

// Runs until `done` is true or the quit message comes, which it leaves for the outer loop.
void RunModalLoop(const std::function<bool()>& done);

// Handles the messages waiting now and returns: the event pass of a long operation, which
// repaints the windows and lets the user click. A quit message stays for the main loop.
void ProcessPendingMessages();

}  // namespace ui::win32
