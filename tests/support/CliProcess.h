// The command-line companion run as a process by its tests: its output read through pipes or
// a terminal, its environment and folder chosen, signals sent, and the files and lines it
// writes taken apart.
#pragma once

#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <signal.h>
#include <sys/ioctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>
#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <map>
#include <optional>
#include <random>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "platform/DriveEntries.h"

extern char** environ;

namespace cliprocess {

namespace fs = std::filesystem;

inline const std::string kCli = DISCOMETER_CLI;
inline constexpr auto kProcessLimit = std::chrono::seconds(60);
// Far from every exit status, so that a program killed by SIGINT cannot pass for one that
// caught it and exited with 130.
inline constexpr int kKilledBy = 1000;

// --- Processes -------------------------------------------------------------------------

struct Finished {
    int status = -1;  // the exit status, or kKilledBy + the signal that ended the program
    std::string out;
    std::string err;
};

// Environment changes for a child: a value sets the variable, nothing removes it.
using EnvChanges = std::map<std::string, std::optional<std::string>>;

inline std::vector<std::string> ChildEnvironment(const EnvChanges& changes) {
    std::vector<std::string> env;
    for (char** e = environ; *e != nullptr; ++e) {
        const std::string entry = *e;
        const std::string name = entry.substr(0, entry.find('='));
        if (changes.count(name) == 0) {
            env.push_back(entry);
        }
    }
    for (const auto& [name, value] : changes) {
        if (value) {
            env.push_back(name + "=" + *value);
        }
    }
    return env;
}

// The null-terminated array execve takes.
inline std::vector<char*> Pointers(std::vector<std::string>& strings) {
    std::vector<char*> pointers;
    pointers.reserve(strings.size() + 1);
    for (std::string& s : strings) {
        pointers.push_back(s.data());
    }
    pointers.push_back(nullptr);
    return pointers;
}

// A program running with its stdout and stderr read through pipes, or, given a width, with
// all three on a terminal of that many columns whose screen is read as `out`. The drive list
// variable is unset unless the caller sets it, so that no test depends on the user's.
class Child {
  public:
    explicit Child(const std::vector<std::string>& argv, EnvChanges env = {},
                   const fs::path& cwd = {},
                   std::optional<unsigned short> terminalColumns = std::nullopt) {
        env.try_emplace(platform::kDrivesVariable, std::nullopt);
        // Made ready before the fork, so that the child only changes folder and executes.
        std::vector<std::string> args = argv;
        std::vector<std::string> environment = ChildEnvironment(env);
        const std::vector<char*> argp = Pointers(args);
        const std::vector<char*> envp = Pointers(environment);
        int out[2];
        int err[2];
        if (terminalColumns) {
            winsize size{};
            size.ws_col = *terminalColumns;
            size.ws_row = 24;
            if (::openpty(&out[0], &out[1], nullptr, nullptr, &size) != 0) {
                throw std::runtime_error("openpty");
            }
            ::fcntl(out[0], F_SETFD, FD_CLOEXEC);
            ::fcntl(out[1], F_SETFD, FD_CLOEXEC);
            err[0] = err[1] = -1;
        } else if (::pipe2(out, O_CLOEXEC) != 0 || ::pipe2(err, O_CLOEXEC) != 0) {
            throw std::runtime_error("pipe");
        }
        pid_ = ::fork();
        if (pid_ == 0) {
            if (terminalColumns) {
                ::setsid();
                ::ioctl(out[1], TIOCSCTTY, 0);
                ::dup2(out[1], STDIN_FILENO);
                err[1] = out[1];
            }
            ::dup2(out[1], STDOUT_FILENO);
            ::dup2(err[1], STDERR_FILENO);
            if (!cwd.empty() && ::chdir(cwd.c_str()) != 0) {
                ::_exit(126);
            }
            ::execve(argp[0], argp.data(), envp.data());
            ::_exit(127);
        }
        ::close(out[1]);
        out_ = out[0];
        if (!terminalColumns) {
            ::close(err[1]);
            err_ = err[0];
        }
    }
    Child(const Child&) = delete;
    Child& operator=(const Child&) = delete;
    ~Child() {
        if (pid_ > 0) {
            ::kill(pid_, SIGKILL);
            ::waitpid(pid_, nullptr, 0);
        }
        if (out_ >= 0) {
            ::close(out_);
        }
        if (err_ >= 0) {
            ::close(err_);
        }
    }

    // The next line of stdout, or nothing when the program ends or the limit passes first.
    std::optional<std::string> ReadLine() {
        const auto deadline = std::chrono::steady_clock::now() + kProcessLimit;
        while (true) {
            const std::size_t nl = out.find('\n', taken_);
            if (nl != std::string::npos) {
                std::string line = out.substr(taken_, nl - taken_);
                taken_ = nl + 1;
                return line;
            }
            if (out_ < 0 || std::chrono::steady_clock::now() > deadline) {
                return std::nullopt;
            }
            Pump(100);
        }
    }

    void Signal(int signo) { ::kill(pid_, signo); }
    pid_t Pid() const { return pid_; }

    // Stops reading stdout, as a reader does that goes away (`head`, a `tee` ended by Ctrl-C):
    // the program's next write to it fails.
    void CloseOut() {
        if (out_ >= 0) {
            ::close(out_);
            out_ = -1;
        }
    }

    // Reads both pipes to their end, which comes when the program has ended (or the limit
    // has passed); the program is not waited for yet.
    void ReadToEnd() {
        const auto deadline = std::chrono::steady_clock::now() + kProcessLimit;
        while ((out_ >= 0 || err_ >= 0) && std::chrono::steady_clock::now() < deadline) {
            Pump(100);
        }
    }

    // Reads both pipes to their end and waits for the program.
    Finished Finish() {
        ReadToEnd();
        Finished f;
        int status = 0;
        if (out_ >= 0 || err_ >= 0) {
            ::kill(pid_, SIGKILL);  // over the limit: a hang is a failure, not a wait
        }
        ::waitpid(pid_, &status, 0);
        pid_ = -1;
        f.status = WIFEXITED(status) ? WEXITSTATUS(status) : kKilledBy + WTERMSIG(status);
        f.out = out;
        f.err = err;
        return f;
    }

    std::string out;
    std::string err;

  private:
    // One round of reading whatever has arrived; false when nothing did.
    bool Pump(int timeoutMs) {
        pollfd fds[2] = {{out_, POLLIN, 0}, {err_, POLLIN, 0}};
        if (::poll(fds, 2, timeoutMs) <= 0) {
            return false;
        }
        for (int i = 0; i < 2; ++i) {
            int& fd = i == 0 ? out_ : err_;
            if (fd < 0 || fds[i].revents == 0) {
                continue;
            }
            char buffer[4096];
            const ssize_t n = ::read(fd, buffer, sizeof buffer);
            if (n > 0) {
                (i == 0 ? out : err).append(buffer, static_cast<std::size_t>(n));
            } else {
                ::close(fd);
                fd = -1;
            }
        }
        return true;
    }

    pid_t pid_ = -1;
    int out_ = -1;
    int err_ = -1;
    std::size_t taken_ = 0;
};

inline std::vector<std::string> CliArgs(const std::vector<std::string>& args) {
    std::vector<std::string> argv{kCli};
    argv.insert(argv.end(), args.begin(), args.end());
    return argv;
}

inline Finished RunCli(const std::vector<std::string>& args, const EnvChanges& env = {},
                       const fs::path& cwd = {}) {
    Child child(CliArgs(args), env, cwd);
    return child.Finish();
}

inline Finished RunTool(const std::vector<std::string>& argv) {
    Child child(argv);
    return child.Finish();
}

// The full path of a tool, or nothing when it is not installed.
inline std::optional<std::string> FindTool(const std::string& name) {
    for (const char* dir : {"/usr/bin", "/usr/sbin", "/bin", "/usr/local/bin"}) {
        const fs::path p = fs::path(dir) / name;
        if (::access(p.c_str(), X_OK) == 0) {
            return p.string();
        }
    }
    return std::nullopt;
}

// --- Files and lines -----------------------------------------------------------------------

inline void WriteRandomFile(const fs::path& path, std::size_t bytes, unsigned seed) {
    std::mt19937 random(seed);
    std::string data(bytes, '\0');
    for (char& c : data) {
        c = static_cast<char>(random());
    }
    std::ofstream(path, std::ios::binary) << data;
}

inline std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) {
        if (!line.empty() && line.back() == '\r') {
            line.pop_back();
        }
        lines.push_back(line);
    }
    return lines;
}

// The result lines of a data file: those after "[TransferResults]".
inline std::vector<std::string> ResultLines(const std::string& dat) {
    const std::vector<std::string> lines = Lines(dat);
    const auto header = std::find(lines.begin(), lines.end(), "[TransferResults]");
    return header == lines.end() ? std::vector<std::string>{}
                                 : std::vector<std::string>(header + 1, lines.end());
}

inline bool StartsWithTwoNumbers(const std::string& line) {
    std::istringstream in(line);
    long block = 0;
    long speed = 0;
    std::string rest;
    return static_cast<bool>(in >> block >> speed) && !(in >> rest);
}

}  // namespace cliprocess
