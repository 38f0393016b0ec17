// discometer-cli: the run of the window without a window, for servers, scripts and batches
// of discs.
#include <cstdio>
#include <exception>
#include <string>
#include <type_traits>
#include <variant>
#include <vector>

#include "cli/Arguments.h"
#include "cli/Commands.h"
#include "cli/Streams.h"
#include "discometer/Version.h"
#include "platform/Console.h"

namespace {

int Run(const cli::Command& command, cli::Streams& streams) {
    return std::visit(
        [&streams](const auto& c) -> int {
            using T = std::decay_t<decltype(c)>;
            if constexpr (std::is_same_v<T, cli::UsageError>) {
                return cli::UsageFailure(streams, c.message);
            } else if constexpr (std::is_same_v<T, cli::HelpCommand>) {
                std::fputs(cli::HelpText(c.topic).c_str(), stdout);
                return cli::kExitOk;
            } else if constexpr (std::is_same_v<T, cli::VersionCommand>) {
                std::printf("discometer-cli %s\n", discometer::kVersion);
                return cli::kExitOk;
            } else if constexpr (std::is_same_v<T, cli::DrivesCommand>) {
                return cli::RunDrives(streams);
            } else if constexpr (std::is_same_v<T, cli::MeasureCommand>) {
                return cli::RunMeasure(c, streams);
            } else if constexpr (std::is_same_v<T, cli::CompareCommand>) {
                return cli::RunCompare(c, streams);
            } else if constexpr (std::is_same_v<T, cli::HistoryCommand>) {
                return cli::RunHistory(c, streams);
            } else {
                return cli::RunReplay(c, streams);
            }
        },
        command);
}

}  // namespace

int main(int argc, char** argv) {
    // A reader that goes away (`| head`) is noticed at the next write, not fatal.
    platform::IgnoreBrokenPipes();
    cli::Streams streams(stdout, stderr, platform::IsTerminal(stdout),
                         platform::IsTerminal(stderr));
    try {
        return Run(cli::ParseArguments(std::vector<std::string>(argv + 1, argv + argc)), streams);
    } catch (const std::exception& error) {
        // What no command foresaw ends the program with its reason rather than an abort.
        streams.Say(error.what());
        return cli::kExitError;
    }
}
