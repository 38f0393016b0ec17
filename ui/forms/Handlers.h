// Which handler of the main window each of its commands calls. Every front end's TForm1 has
// the same handlers, under the same names.
#pragma once

#include <stdexcept>

#include "ui/forms/FormSpec.h"

namespace ui::forms {

template <typename Form>
using MainHandler = void (Form::*)();

template <typename Form>
MainHandler<Form> MainHandlerOf(Command command) {
    switch (command) {
        case Command::Start:
            return &Form::Button1Click;
        case Command::Stop:
            return &Form::Button2Click;
        case Command::SaveGraphic:
            return &Form::SaveGraphic1Click;
        case Command::SaveData:
            return &Form::SaveData1Click;
        case Command::LoadData:
            return &Form::LoadData1Click;
        case Command::AutoSave:
            return &Form::AutoSave1Click;
        case Command::N1000:
            return &Form::N1000Click;
        case Command::N800:
            return &Form::N800Click;
        case Command::N600:
            return &Form::N600Click;
        case Command::About:
            return &Form::About1Click;
        case Command::None:
        case Command::OpenHomePage:
        case Command::ReadSpeed:  // takes the item it was given
            break;
    }
    throw std::logic_error("the main window has no handler for this command");
}

}  // namespace ui::forms
