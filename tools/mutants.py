#!/usr/bin/env python3
"""Mutation run: do the tests catch realistic faults?

Puts each fault of the list below, one at a time, into a scratch copy of the tree, rebuilds
what it touches, runs the tests, takes the fault out again, and says per fault whether the
suite caught it. Too slow for CI (about half a minute a fault on two cores); run it after
changing tests or the code they guard.

The scratch copy lives in build-mutants/ (src/ and build/), which git ignores. It is made
and built once; later runs copy over only the files that changed, so builds stay
incremental. Faults in code that only the Windows build has are tested by the Windows
suite under Wine, in a cross-build of the same copy (build-mutants/build-win32/). By default each fault is tested by the test programs that the build relinked
(and test_cli when it relinked discometer-cli, which those tests run as a process); when
it relinked anything else, or nothing, by the whole suite.

    tools/mutants.py                # every fault
    tools/mutants.py --only 3,7     # faults 3 and 7
    tools/mutants.py --list         # the numbered list, with entries that no longer match
    tools/mutants.py --all-tests -j 4

Exit status 0 when every fault was caught, 1 when one survived or an entry no longer
matches its file.
"""

import argparse
import json
import os
import shutil
import subprocess
import sys
import time
from pathlib import Path
from typing import NamedTuple

TOP = Path(__file__).resolve().parent.parent


class Mutant(NamedTuple):
    file: str  # relative to the top of the tree
    old: str  # exact text, found exactly once in the file
    new: str  # what takes its place
    why: str  # the fault, in one line
    system: str = "linux"  # "windows": code only the Windows build has, tested under Wine


# Add new faults at the end, so that the numbers of the others stay.
MUTANTS = [
    # --- The 21 faults the suite caught when the mutation run was first made -------------
    Mutant("engine/SectorAccess.cpp",
           "static_cast<std::uint64_t>(state_.StartSector) * platform::kSectorBytes;",
           "static_cast<std::uint32_t>(state_.StartSector) * std::uint32_t{2048};",
           "the byte offset computed in 32 bits"),
    Mutant("engine/RunStart.cpp",
           "constexpr std::int32_t kFirstReadCount = 984;",
           "constexpr std::int32_t kFirstReadCount = 983;",
           "the first untimed read of 983 sectors"),
    Mutant("engine/MeasurementLoop.cpp",
           "if (s.StartSector >= s.VolumeSize - 1000) {",
           "if (s.StartSector > s.VolumeSize - 1000) {",
           "end of volume: >= becomes >"),
    Mutant("engine/MeasurementLoop.cpp",
           "if (s.BlockIndex < static_cast<std::int32_t>(std::trunc(s.VolumeSize / 1000))) {",
           "if (s.BlockIndex <= static_cast<std::int32_t>(std::trunc(s.VolumeSize / 1000))) {",
           "the loop goes on while BlockIndex <= the block count"),
    Mutant("engine/RunStart.cpp",
           "s.CurSpeed = MeasuredSpeed(s);",
           "s.CurSpeed = results::LimitSpeed(s, MeasuredSpeed(s));",
           "Max/Min set after the full-scale clamp at run start"),
    Mutant("engine/VolumeTiming.cpp",
           "const auto elapsed = static_cast<std::int32_t>(t1 - t0);",
           "const auto elapsed = static_cast<double>(t1) - static_cast<double>(t0);",
           "the tick difference without the 32-bit wrap"),
    Mutant("engine/Sequencer.cpp",
           "if (window.IsChecked(run::MenuMark::N800)) {",
           "if (window.IsChecked(run::MenuMark::N800) && !window.IsChecked(run::MenuMark::N600)) {",
           "600-400 wins over 800-200 when both are marked"),
    Mutant("engine/RunStart.cpp",
           "s.CurSpeed = results::LimitSpeed(s, s.CurSpeed);",
           "",
           "the first speed's clamp to full scale dropped"),
    Mutant("results/ResultsDocument.cpp",
           "if (c == '\\r' && i < bytes.size() && bytes[i] == '\\n') {",
           "if (i < bytes.size() && bytes[i] == '\\n') {",
           "LF LF read as one line break"),
    Mutant("results/ResultsDocument.h",
           "inline constexpr std::size_t kKeyWindow = 16;",
           "inline constexpr std::size_t kKeyWindow = 15;",
           "a 15-character key window"),
    Mutant("results/ResultsDocument.cpp",
           "for (std::size_t i = 0; i < count; ++i) {",
           "for (std::size_t i = 0; i + 1 < count; ++i) {",
           "SearchKey skips the last line"),
    Mutant("results/NumberText.cpp",
           "if (i < text.size() && text[i] == '.') {",
           "if (i > mantissaStart && i < text.size() && text[i] == '.') {",
           "\".5\" read as 0"),
    Mutant("results/ChartFrame.cpp",
           "s.MaxSpeed > lowRowAbove ? 282 : 25",
           "s.MaxSpeed >= lowRowAbove ? 282 : 25",
           "the summary moves down at >= 5000"),
    Mutant("results/ChartFrame.cpp",
           "const long double product = static_cast<long double>(thousands) * s.XScale;",
           "const long double product = std::round(static_cast<long double>(thousands) * s.XScale);",
           "BlockToX rounds instead of truncating"),
    Mutant("results/Replay.cpp",
           "for (std::size_t i = first + 1; i < count; ++i) {",
           "for (std::size_t i = first; i < count; ++i) {",
           "the replay loop starts at the first result line"),
    Mutant("results/BlockDisplay.cpp",
           "s.MaxSpeed = s.CurSpeed;",
           "s.MaxSpeed = LimitSpeed(s, s.CurSpeed);",
           "Max updated after the full-scale clamp in a tick"),
    Mutant("results/ChartFrame.cpp",
           "return s.Baseline - s.PlotHeight * limitedSpeed / s.SpeedFullScale;",
           "return s.Baseline - s.PlotHeight * static_cast<std::int32_t>(limitedSpeed) / "
           "s.SpeedFullScale;",
           "speed to y in integer arithmetic"),
    Mutant("platform/Canvas.cpp",
           "t1 = std::min(t1, n - 1);",
           "t1 = std::min(t1, n);",
           "a line paints its end pixel"),
    Mutant("platform/Canvas.cpp",
           "if (!dotted || t % 6 < 3) {",
           "if (!dotted || major % 6 < 3) {",
           "the dotted pattern's phase taken from the coordinate"),
    Mutant("platform/BmpFile.cpp",
           "for (std::int32_t y = bitmap.Height() - 1; y >= 0; --y) {",
           "for (std::int32_t y = 0; y < bitmap.Height(); ++y) {",
           "BMP rows written top-down"),
    Mutant("cli/Commands.cpp",
           "if (!s.prompts.Errors().empty() || s.prompts.ErrorSounds() > 0) {",
           "if (!s.prompts.Errors().empty()) {",
           "replay of a file without results exits 0"),
    # --- The 9 faults that went through at first, and the tests added for them ------------
    Mutant("cli/Commands.cpp",
           "if (!s.prompts.Errors().empty()) {",
           "if (!s.prompts.Errors().empty() && written.empty()) {",
           "measure: a save that fails after the run exits 0 once another file was written"),
    Mutant("cli/Commands.cpp",
           "if (s.dataList.size() > linesBefore && s.state.ReadStatus >= 0) {",
           "if (s.dataList.size() > linesBefore) {",
           "failed blocks counted in the Timed speed totals"),
    Mutant("cli/Summary.cpp",
           "static_cast<double>(timed.sectors) * 2000.0",
           "static_cast<double>(timed.sectors) * 2048.0",
           "Timed speed with 2048 instead of 2000 KB per 1000 sectors"),
    Mutant("results/ChartAxes.cpp",
           "const double blocks = std::trunc(volumeSize / 1000);",
           "const double blocks = std::ceil(volumeSize / 1000);",
           "gauge maximum rounds a part block up: a 333,900-sector disc ends at 99 %"),
    Mutant("platform/linux/RawDevice.cpp",
           "errno == EINVAL && direct_ && done == 0",
           "errno == EINVAL && direct_ && done != 0",
           "no buffered fallback when a direct read is refused with EINVAL"),
    Mutant("platform/linux/RawDevice.cpp",
           "if (fd < 0 && errno == EINVAL) {",
           "if (fd < 0 && errno == EOPNOTSUPP) {",
           "the open-time fallback keyed on the wrong error"),
    Mutant("results/Replay.cpp",
           "const double firstSpeed = ReadFirstResultSpeed(lines[first]);",
           "const double firstSpeed = ReadBlockResult(lines[first]).value_or(BlockResult{}).Speed;",
           "the first result line read whole instead of five characters"),
    Mutant("system/OSInfo.cpp",
           "if (in.buildNumber3 == 4) {",
           "if (in.buildNumber3 >= 4) {",
           "replay rule: BuildNumber3 >= 4 instead of == 4"),
    Mutant("platform/BmpFile.cpp",
           "return static_cast<std::uint32_t>((width * 3 + 3) / 4 * 4);",
           "return static_cast<std::uint32_t>((width * 3 + 4) / 4 * 4);",
           "BMP rows already a multiple of 4 bytes get padding"),
    # --- Code of the Windows build, of the charts beyond the CD, and of scripts and servers --
    Mutant("results/ChartAxes.cpp",
           "return std::trunc(volumeSize) > sectors;",
           "return std::trunc(volumeSize) >= sectors;",
           "layout boundaries off by one: a 380,999-sector volume leaves the CD axis"),
    Mutant("results/ChartAxes.cpp",
           "for (const std::int64_t multiple : {1, 2, 5}) {",
           "for (const std::int64_t multiple : {1, 5}) {",
           "grid steps of 1 and 5 only: a DVD gets steps of 500 instead of 200"),
    Mutant("results/ChartAxes.cpp",
           "layout.medium == run::Medium::CD ? run::PanelWidths::Classic",
           "layout.medium != run::Medium::BluRay ? run::PanelWidths::Classic",
           "a DVD run keeps the CD's narrow status panels and cuts its numbers"),
    Mutant("engine/RunStart.cpp",
           "s.ReadSpeedTaken = s.ReadSpeed == run::kMaxReadSpeed || access.SelectReadSpeed(s.ReadSpeed);",
           "s.ReadSpeedTaken = s.ReadSpeed != run::kMaxReadSpeed || access.SelectReadSpeed(s.ReadSpeed);",
           "the chosen read speed is never handed to the drive"),
    Mutant("platform/linux/Console.cpp",
           "action.sa_flags = SA_RESTART;",
           "action.sa_flags = SA_RESTART | SA_RESETHAND;",
           "the stop handler resets itself: a second Ctrl-C kills the run before it is saved"),
    Mutant("cli/Streams.cpp",
           "if (std::fwrite(text.data(), 1, text.size(), out_) != text.size() || std::fflush(out_) != 0) {",
           "if (std::fwrite(text.data(), 1, text.size(), out_) != text.size()) {",
           "a closed standard output goes unnoticed when only the flush fails"),
    Mutant("cli/Arguments.cpp",
           'if (name == "800-200" || name == "800") {',
           'if (name == "800-200" || name == "8000") {',
           "--sequencer 800 is refused"),
    Mutant("platform/SimRouting.cpp",
           "if (driveEntries_ && (type == DriveType::Fixed || type == DriveType::Removable)) {",
           "if (driveEntries_ && type == DriveType::Removable) {",
           "a disk device the user names (a loop device) is refused as no drive"),
    Mutant("platform/windows/RawDevice.cpp",
           "distance.QuadPart = offset;",
           "distance.QuadPart = static_cast<std::int32_t>(offset);",
           "Windows: the byte offset cut to 32 bits, so a volume past 2 GiB reads as errors",
           "windows"),
    Mutant("platform/windows/Files.cpp",
           'constexpr std::string_view kForbidden = "\\\\/:*?\\"<>|";',
           'constexpr std::string_view kForbidden = "\\\\/*?\\"<>|";',
           "Windows: a ':' in a label stays in the AutoSave name and writes an alternate stream",
           "windows"),
    # --- Discs of every kind: sizes beyond 24 bits, UDF volumes, labels, the fine clock -----
    Mutant("engine/VolumeTiming.cpp",
           "static_cast<double>(platform::Le32(b, kVolumeSizeOffset))",
           "static_cast<double>(platform::Le32(b, kVolumeSizeOffset) & 0xFFFFFFu)",
           "the volume size's top byte dropped again: a BD-50 read to a third"),
    Mutant("engine/VolumeRecognition.cpp",
           '} else if (extended && (id == "NSR02" || id == "NSR03")) {',
           '} else if (id == "NSR02" || id == "NSR03") {',
           "an NSR descriptor outside the extended area taken for UDF"),
    Mutant("engine/VolumeRecognition.cpp",
           "const std::optional<std::int64_t> size = medium ? medium : volume.partitionEnd;",
           "const std::optional<std::int64_t> size = volume.partitionEnd;",
           "a UDF disc measured to its partition's end rather than the medium's"),
    Mutant("results/VolumeLabel.cpp",
           "return byte < 0x20 || byte == 0x7F;",
           "return byte < 0x20;",
           "a DEL in a label reaches the document and the chart"),
    Mutant("results/VolumeLabel.cpp",
           "return next == label.size() ? label.substr(0, at) : label;",
           "return label;",
           "an AutoSave name keeps half a UTF-8 character"),
    Mutant("engine/RunStart.cpp",
           "s.FineTiming = results::MediumOf(s.VolumeSize) != run::Medium::CD;",
           "s.FineTiming = false;",
           "a Blu-ray disc timed by the millisecond tick"),
    # --- Two faults a later mutation run found uncaught ----------------------------------
    Mutant("platform/linux/RawDevice.cpp",
           "if (n < 0 && errno == EINTR) {",
           "if (false) {",
           "a read interrupted by a signal counted as an unreadable block"),
    Mutant("platform/linux/AtomicFile.cpp",
           "if (!error && ::fchmod(fd, permissions) != 0) {",
           "if (!error && permissions == 0) {",
           "a newly written file keeps mkstemp's owner-only permissions"),
]


# Programs that tests run as a process, and the test program that runs each: relinking one
# asks for that test program. Relinking any other program or module asks for the whole suite.
RUN_AS_PROCESS = {"discometer-cli": "test_cli"}


# --- The scratch copy ----------------------------------------------------------------------

def tree_files():
    """The files of the tree as a developer sees it: tracked and untracked, not ignored."""
    try:
        out = subprocess.run(["git", "-C", str(TOP), "ls-files", "-z", "--cached", "--others",
                              "--exclude-standard"], check=True, capture_output=True).stdout
        names = [n for n in out.decode().split("\0") if n]
    except (OSError, subprocess.CalledProcessError):
        names = [str(p.relative_to(TOP)) for p in TOP.rglob("*")
                 if p.is_file() and not p.relative_to(TOP).parts[0].startswith(("build", ".git"))]
    return sorted(n for n in set(names) if (TOP / n).is_file())


def sync(src):
    """Makes src a copy of the tree, touching only the files that differ, so that the scratch
    build stays incremental (and a fault left in by an interrupted run goes)."""
    wanted = set(tree_files())
    copied = 0
    for name in wanted:
        source, target = TOP / name, src / name
        data = source.read_bytes()
        if not target.is_file() or target.read_bytes() != data:
            target.parent.mkdir(parents=True, exist_ok=True)
            target.write_bytes(data)
            shutil.copymode(source, target)
            copied += 1
    for path in sorted(src.rglob("*"), reverse=True):
        name = str(path.relative_to(src))
        if path.is_file() and name not in wanted:
            path.unlink()
    return copied


def configure(src, build_dir, *extra):
    """Configures a build of the scratch copy once; later runs find it configured."""
    if (build_dir / "CMakeCache.txt").is_file():
        return True
    command = ["cmake", "-S", str(src), "-B", str(build_dir), "-DDISCOMETER_BENCH=OFF",
               "-DDISCOMETER_WERROR=OFF", *extra]
    if shutil.which("ninja"):
        command += ["-G", "Ninja"]
    if shutil.which("ccache"):
        command.append("-DCMAKE_CXX_COMPILER_LAUNCHER=ccache")
    result = subprocess.run(command, capture_output=True, text=True)
    if result.returncode != 0:
        print(result.stdout + result.stderr, file=sys.stderr)
    return result.returncode == 0


def configure_windows(src, build_dir, linux_build):
    """The 32-bit Windows cross-build of the scratch copy, as scripts/windows.sh configures it."""
    return configure(src, build_dir,
                     "--toolchain", str(src / "cmake/toolchains/mingw-w64-i686.cmake"),
                     "-DCMAKE_BUILD_TYPE=Release", "-DCMAKE_CXX_FLAGS_RELEASE=-O2 -DNDEBUG",
                     f"-DDISCOMETER_LINUX_CLI={linux_build / 'cli' / 'discometer-cli'}")


def build(build_dir, jobs, targets=None):
    command = ["cmake", "--build", str(build_dir), "-j", str(jobs)]
    if targets:
        command += ["--target", *sorted(targets)]
    result = subprocess.run(command, capture_output=True, text=True)
    return result.returncode == 0, result.stdout + result.stderr


def built_programs(build_dir):
    """Modification times of the executables and modules the build made."""
    times = {}
    for root, dirs, files in os.walk(build_dir):
        dirs[:] = [d for d in dirs if d != "CMakeFiles"]
        for name in files:
            path = os.path.join(root, name)
            if name.endswith(".so") or (os.access(path, os.X_OK) and "." not in name):
                times[path] = os.stat(path).st_mtime_ns
    return times


# --- Tests ---------------------------------------------------------------------------------

class Test(NamedTuple):
    number: int
    name: str
    program: str


def list_tests(build_dir):
    result = subprocess.run(["ctest", "--test-dir", str(build_dir), "--show-only=json-v1"],
                            capture_output=True, text=True, check=True)
    tests = json.loads(result.stdout)["tests"]
    return [Test(i + 1, t["name"], t["command"][0]) for i, t in enumerate(tests)]


def run_tests(build_dir, tests, jobs, timeout, runner=None):
    """Runs the tests through ctest (or through `runner`, a command that takes the build
    folder and ctest's arguments); the names of those that failed, or None when all passed."""
    numbers = ",".join(str(t.number) for t in tests)
    arguments = ["-j", str(jobs), "--timeout", str(timeout), "-I", "0,0,0," + numbers]
    if runner:
        command = [*runner, str(build_dir), *arguments]
    else:
        command = ["ctest", "--test-dir", str(build_dir), *arguments]
    result = subprocess.run(command, capture_output=True, text=True)
    if result.returncode == 0:
        return None
    failed, listing = [], False
    for line in result.stdout.splitlines():
        if line.startswith("The following tests FAILED"):
            listing = True
        elif listing and " - " in line:
            name = line.split(" - ", 1)[1].rsplit(" (", 1)[0]
            failed.append(name.split("  # GetParam()")[0])  # a parameter's bytes say nothing
    return failed or ["(ctest failed: " + result.stdout.strip().splitlines()[-1] + ")"]


# --- The run -------------------------------------------------------------------------------

def text_count(src, mutant):
    path = src / mutant.file
    if not path.is_file():
        return 0
    return path.read_text(encoding="utf-8").count(mutant.old)


def chosen_numbers(only):
    if not only:
        return list(range(1, len(MUTANTS) + 1))
    numbers = []
    for item in only:
        for part in item.split(","):
            n = int(part)
            if not 1 <= n <= len(MUTANTS):
                raise SystemExit(f"no fault {n}: the list runs from 1 to {len(MUTANTS)}")
            numbers.append(n)
    return sorted(set(numbers))


def print_list():
    width = max(len(m.file) for m in MUTANTS)
    for n, m in enumerate(MUTANTS, 1):
        count = text_count(TOP, m)
        note = "" if count == 1 else f"   [STALE: text found {count} times]"
        print(f"{n:3}  {m.file:<{width}}  {m.why}{note}")


def first_errors(output, lines=8):
    errors = [line for line in output.splitlines() if "error" in line]
    return "\n".join("        " + line for line in (errors or output.splitlines())[:lines])


def verdict(failed, scope):
    """The outcome of a fault from the tests that failed, and what to say of it."""
    if failed is None:
        return "survived", f"  ({scope})"
    more = f", +{len(failed) - 2} more" if len(failed) > 2 else ""
    return "caught", f"  ({scope}; by {', '.join(failed[:2])}{more})"


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("--list", action="store_true", help="print the numbered faults and stop")
    parser.add_argument("--only", action="append", metavar="N[,N...]",
                        help="only these faults (repeatable)")
    parser.add_argument("-j", "--jobs", type=int, default=2, help="build and test jobs (2)")
    parser.add_argument("--all-tests", action="store_true",
                        help="run the whole suite for every fault")
    parser.add_argument("--scratch", type=Path, default=TOP / "build-mutants",
                        help="scratch folder (build-mutants/)")
    parser.add_argument("--timeout", type=int, default=120, help="seconds a test may take")
    args = parser.parse_args()
    if args.list:
        print_list()
        return 0
    numbers = chosen_numbers(args.only)

    src, build_dir = args.scratch / "src", args.scratch / "build"
    started = time.monotonic()
    print(f"scratch copy in {args.scratch}: {sync(src)} files copied", flush=True)
    if not configure(src, build_dir):
        print("configuring the scratch copy failed", file=sys.stderr)
        return 2
    ok, output = build(build_dir, args.jobs)
    if not ok:
        print("the unchanged tree does not build:\n" + first_errors(output, 20), file=sys.stderr)
        return 2
    tests = list_tests(build_dir)
    failed = run_tests(build_dir, tests, args.jobs, args.timeout)
    if failed is not None:
        print("the suite fails on the unchanged tree: " + ", ".join(failed), file=sys.stderr)
        return 2
    # The test programs the build makes (some tests run an interpreter or a script instead).
    targets = {Path(t.program).name for t in tests
               if Path(t.program).resolve().is_relative_to(build_dir.resolve())}
    print(f"baseline: {len(tests)} tests pass ({time.monotonic() - started:.0f} s)", flush=True)

    # The Windows suite, when a chosen fault lies in code only the Windows build has.
    win_dir = args.scratch / "build-win32"
    wine = [str(src / "scripts" / "wine-ctest.sh")]
    win_tests = []
    if any(MUTANTS[n - 1].system == "windows" for n in numbers):
        if not configure_windows(src, win_dir, build_dir):
            print("configuring the Windows build of the scratch copy failed", file=sys.stderr)
            return 2
        ok, output = build(win_dir, args.jobs)
        if not ok:
            print("the unchanged tree does not build for Windows:\n" + first_errors(output, 20),
                  file=sys.stderr)
            return 2
        win_tests = list_tests(win_dir)
        failed = run_tests(win_dir, win_tests, args.jobs, args.timeout, wine)
        if failed is not None:
            print("the Windows suite fails on the unchanged tree: " + ", ".join(failed),
                  file=sys.stderr)
            return 2
        print(f"baseline: {len(win_tests)} Windows tests pass under Wine", flush=True)
    print(flush=True)

    outcomes = {}
    width = max(len(MUTANTS[n - 1].file) for n in numbers)
    for n in numbers:
        m = MUTANTS[n - 1]
        t0 = time.monotonic()
        path = src / m.file
        original = path.read_bytes()
        count = original.decode("utf-8").count(m.old)
        label = f"[{n:2}/{len(MUTANTS)}] "
        if count != 1:
            outcomes[n] = "stale"
            print(f"{label}STALE           {m.file:<{width}}  {m.why}\n"
                  f"        the text to change is found {count} times, not once", flush=True)
            continue
        windows = m.system == "windows"
        before = built_programs(build_dir)
        try:
            path.write_bytes(original.replace(m.old.encode("utf-8"), m.new.encode("utf-8")))
            ok, output = build(win_dir, args.jobs) if windows else build(build_dir, args.jobs,
                                                                           targets)
            detail = ""
            if not ok:
                outcome = "caught (build)"
                detail = ("\n        WARNING: a curated fault should compile; mend this entry\n"
                          + first_errors(output))
            elif windows:
                failed = run_tests(win_dir, win_tests, args.jobs, args.timeout, wine)
                outcome, detail = verdict(failed, f"{len(win_tests)} Windows tests")
            else:
                after = built_programs(build_dir)
                relinked = {Path(p).name for p, t in after.items() if before.get(p) != t}
                selected = tests
                if not args.all_tests and relinked and relinked <= targets | RUN_AS_PROCESS.keys():
                    wanted = {RUN_AS_PROCESS.get(name, name) for name in relinked}
                    selected = [t for t in tests if Path(t.program).name in wanted]
                failed = run_tests(build_dir, selected, args.jobs, args.timeout)
                outcome, detail = verdict(
                    failed, "whole suite" if selected is tests else f"{len(selected)} tests")
        finally:
            path.write_bytes(original)
            if windows:
                build(win_dir, args.jobs)  # the next fault starts from the unchanged program
        outcomes[n] = outcome
        shown = outcome.upper() if outcome != "caught" else outcome
        print(f"{label}{shown:<15} {m.file:<{width}}  {m.why}  "
              f"[{time.monotonic() - t0:.0f} s]{detail}", flush=True)

    caught = sum(1 for o in outcomes.values() if o.startswith("caught"))
    by_build = sum(1 for o in outcomes.values() if o == "caught (build)")
    survived = [n for n, o in outcomes.items() if o == "survived"]
    stale = [n for n, o in outcomes.items() if o == "stale"]
    tried = len(outcomes) - len(stale)
    rate = 100.0 * caught / tried if tried else 0.0
    print(f"\ncaught {caught} of {tried} ({rate:.0f} %)"
          + (f", {by_build} of them only by the build" if by_build else "")
          + (f"; survived: {', '.join(map(str, survived))}" if survived else "")
          + (f"; stale entries: {', '.join(map(str, stale))}" if stale else "")
          + f"  [{(time.monotonic() - started) / 60:.1f} min]")
    return 0 if not survived and not stale else 1


if __name__ == "__main__":
    try:
        sys.exit(main())
    except KeyboardInterrupt:
        sys.exit(130)
