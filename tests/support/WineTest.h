// What the tests under Wine share: paths of the build machine as Windows sees them, the disc
// images of the test prefix, programs run as processes, and the version Wine reports.
#pragma once

#include <windows.h>

#include <algorithm>
#include <cctype>
#include <cstring>
#include <map>
#include <optional>
#include <string>
#include <thread>
#include <vector>

namespace wine {

// A path of the build machine as Wine shows it, on its drive Z:.
inline std::string WindowsPath(std::string path) {
    if (path.empty() || path.front() != '/') {
        return path;
    }
    std::replace(path.begin(), path.end(), '/', '\\');
    return "Z:" + path;
}

// The prefix's disc images (scripts/wine-ctest.sh): an ISO 9660 image in D:, and in E: an
// image of 2,097,154 sectors, past 4 GiB, whose sectors 16, 1,048,576 and 2,097,153 begin
// with "SECTOR" and their number in eight digits.
inline std::string TestIso() {
    return WindowsPath(WINE_TEST_DIR "/disc.iso");
}
inline std::string TestBigImage() {
    return WindowsPath(WINE_TEST_DIR "/big.img");
}
inline constexpr const char* kTestIsoLabel = "WINE_TEST_DISC";
inline constexpr const char* kIsoDrive = "D:";
inline constexpr const char* kBigDrive = "E:";

struct Finished {
    int status = -1;  // the exit status; -1 when the program did not end in time
    std::string out;
    std::string err;
};

// Environment changes for a program: a value sets the variable, nothing removes it.
using EnvChanges = std::map<std::string, std::optional<std::string>>;

namespace detail {

inline std::string Quoted(const std::string& arg) {
    if (!arg.empty() && arg.find_first_of(" \t\"") == std::string::npos) {
        return arg;
    }
    std::string q = "\"";
    std::size_t backslashes = 0;
    for (const char c : arg) {
        if (c == '\\') {
            ++backslashes;
            continue;
        }
        q.append(c == '"' ? 2 * backslashes + 1 : backslashes, '\\');
        backslashes = 0;
        q.push_back(c);
    }
    q.append(2 * backslashes, '\\');
    return q + "\"";
}

inline bool SameName(const std::string& a, const std::string& b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::toupper(static_cast<unsigned char>(x)) ==
                      std::toupper(static_cast<unsigned char>(y));
           });
}

inline std::string EnvironmentBlock(const EnvChanges& changes) {
    std::string block;
    char* strings = ::GetEnvironmentStringsA();
    for (const char* e = strings; *e != '\0'; e += std::strlen(e) + 1) {
        const std::string entry = e;
        const std::string name = entry.substr(0, entry.find('=', 1));
        const bool changed = std::any_of(changes.begin(), changes.end(),
                                         [&](const auto& c) { return SameName(c.first, name); });
        if (!changed) {
            block += entry + '\0';
        }
    }
    ::FreeEnvironmentStringsA(strings);
    for (const auto& [name, value] : changes) {
        if (value) {
            block += name + "=" + *value + '\0';
        }
    }
    return block + '\0';
}

inline void Drain(HANDLE pipe, std::string* into) {
    char buffer[4096];
    DWORD got = 0;
    while (::ReadFile(pipe, buffer, sizeof buffer, &got, nullptr) && got > 0) {
        into->append(buffer, got);
    }
}

}  // namespace detail

// Runs a program with its output read through pipes, its text lines ending in LF as they
// arrive in CR LF. A program that has not ended after two minutes is ended and fails.
inline Finished Run(const std::vector<std::string>& argv, const EnvChanges& env = {},
                    const std::string& folder = {}) {
    Finished f;
    SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
    HANDLE outRead, outWrite, errRead, errWrite;
    if (!::CreatePipe(&outRead, &outWrite, &inherit, 0) ||
        !::CreatePipe(&errRead, &errWrite, &inherit, 0)) {
        return f;
    }
    ::SetHandleInformation(outRead, HANDLE_FLAG_INHERIT, 0);
    ::SetHandleInformation(errRead, HANDLE_FLAG_INHERIT, 0);
    std::string commandLine;
    for (const std::string& arg : argv) {
        commandLine += (commandLine.empty() ? "" : " ") + detail::Quoted(arg);
    }
    std::string environment = detail::EnvironmentBlock(env);
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = ::GetStdHandle(STD_INPUT_HANDLE);
    startup.hStdOutput = outWrite;
    startup.hStdError = errWrite;
    PROCESS_INFORMATION process{};
    const bool started =
        ::CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, TRUE, 0, environment.data(),
                         folder.empty() ? nullptr : folder.c_str(), &startup, &process);
    ::CloseHandle(outWrite);
    ::CloseHandle(errWrite);
    if (started) {
        std::thread outReader(detail::Drain, outRead, &f.out);
        std::thread errReader(detail::Drain, errRead, &f.err);
        DWORD code = 0;
        if (::WaitForSingleObject(process.hProcess, 120000) == WAIT_OBJECT_0 &&
            ::GetExitCodeProcess(process.hProcess, &code)) {
            f.status = static_cast<int>(code);
        } else {
            ::TerminateProcess(process.hProcess, 1);  // a hang is a failure, not a wait
        }
        outReader.join();
        errReader.join();
        ::CloseHandle(process.hProcess);
        ::CloseHandle(process.hThread);
    }
    ::CloseHandle(outRead);
    ::CloseHandle(errRead);
    for (std::string* text : {&f.out, &f.err}) {
        text->erase(std::remove(text->begin(), text->end(), '\r'), text->end());
    }
    return f;
}

// Wine reports the named version of Windows (win98, winxp, win10, ...) to every program that
// starts while the object lives: it reads HKCU\Software\Wine\Version at each start.
class ReportedVersion {
  public:
    explicit ReportedVersion(const std::string& version) {
        HKEY key;
        if (::RegCreateKeyExA(HKEY_CURRENT_USER, "Software\\Wine", 0, nullptr, 0, KEY_SET_VALUE,
                              nullptr, &key, nullptr) == ERROR_SUCCESS) {
            ::RegSetValueExA(key, "Version", 0, REG_SZ,
                             reinterpret_cast<const BYTE*>(version.c_str()),
                             static_cast<DWORD>(version.size() + 1));
            ::RegCloseKey(key);
        }
    }
    ~ReportedVersion() {
        HKEY key;
        if (::RegOpenKeyExA(HKEY_CURRENT_USER, "Software\\Wine", 0, KEY_SET_VALUE, &key) ==
            ERROR_SUCCESS) {
            ::RegDeleteValueA(key, "Version");
            ::RegCloseKey(key);
        }
    }
    ReportedVersion(const ReportedVersion&) = delete;
    ReportedVersion& operator=(const ReportedVersion&) = delete;
};

}  // namespace wine
