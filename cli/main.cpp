// discometer-cli: the run of the window without a window, for servers, scripts and batches
// of discs.
#include <cstdio>
#include <string>
#include <type_traits>
#include <variant>
#include <vector>

#include "cli/Arguments.h"
#include "cli/Commands.h"
#include "discometer/Version.h"

int main(int argc, char** argv) {
    const std::vector<std::string> args(argv + 1, argv + argc);
    const cli::Command command = cli::ParseArguments(args);
    return std::visit(
        [](const auto& c) -> int {
            using T = std::decay_t<decltype(c)>;
            if constexpr (std::is_same_v<T, cli::UsageError>) {
                std::fprintf(stderr, "discometer-cli: %s\n\n%s", c.message.c_str(),
                             cli::UsageText());
                return cli::kExitUsage;
            } else if constexpr (std::is_same_v<T, cli::HelpCommand>) {
                std::fputs(cli::UsageText(), stdout);
                return cli::kExitOk;
            } else if constexpr (std::is_same_v<T, cli::VersionCommand>) {
                std::printf("discometer-cli %s\n", discometer::kVersion);
                return cli::kExitOk;
            } else if constexpr (std::is_same_v<T, cli::DrivesCommand>) {
                return cli::RunDrives();
            } else if constexpr (std::is_same_v<T, cli::MeasureCommand>) {
                return cli::RunMeasure(c);
            } else {
                return cli::RunReplay(c);
            }
        },
        command);
}
