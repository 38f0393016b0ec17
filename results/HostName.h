// The name of the machine a run is filed on, for a catalogue shared by several.
#pragma once

#include <string>

namespace results {

// As the system names the machine: the variable Windows sets (COMPUTERNAME), else the name
// Linux keeps in /proc/sys/kernel/hostname or /etc/hostname; empty when none says.
std::string ThisHostName();

}  // namespace results
