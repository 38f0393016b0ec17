// Prints the name the program gives the running system, and the values it is made of, as
// a run would take them: "Windows 98", then "1 4 10 67766446 | A |".
#include <cstdio>

#include "platform/System.h"
#include "run/RunState.h"
#include "system/OSInfo.h"

int main() {
    const auto system = platform::MakeNativeSystem(std::string());
    run::RunState state;
    os::TestOS(state, *system);
    std::printf("%s\n", os::LiveOSName(os::LiveInputsOf(state)).str().c_str());
    std::printf("%u %u %u %u |%s|\n", static_cast<unsigned>(state.OSPlatformId),
                static_cast<unsigned>(state.OSMajorVersion),
                static_cast<unsigned>(state.OSMinorVersion),
                static_cast<unsigned>(state.OSBuildNumber), state.OSCSDVersion.c_str());
    return 0;
}
