// Which handler of the main window each of its commands calls. Every front end's TForm1 has
// them from MainFormCore, under the same names.
#pragma once

#include <stdexcept>

#include "ui/forms/FormSpec.h"
#include "ui/forms/MainFormCore.h"

namespace ui::forms {

using MainHandler = void (MainFormCore::*)();

inline MainHandler MainHandlerOf(Command command) {
    switch (command) {
        case Command::Start:
            return &MainFormCore::Button1Click;
        case Command::Stop:
            return &MainFormCore::Button2Click;
        case Command::SaveGraphic:
            return &MainFormCore::SaveGraphic1Click;
        case Command::SaveData:
            return &MainFormCore::SaveData1Click;
        case Command::LoadData:
            return &MainFormCore::LoadData1Click;
        case Command::AutoSave:
            return &MainFormCore::AutoSave1Click;
        case Command::N1000:
            return &MainFormCore::N1000Click;
        case Command::N800:
            return &MainFormCore::N800Click;
        case Command::N600:
            return &MainFormCore::N600Click;
        case Command::About:
            return &MainFormCore::About1Click;
        case Command::CompareWith:
            return &MainFormCore::CompareWith1Click;
        case Command::None:
        case Command::OpenHomePage:
        case Command::ReadSpeed:  // takes the item it was given
            break;
    }
    throw std::logic_error("the main window has no handler for this command");
}

}  // namespace ui::forms
