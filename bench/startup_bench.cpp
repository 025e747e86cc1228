// Time from process start until the first converter window is on screen, and
// the peak memory of the process, against the converter window built by hand
// on Qt, which loads the same spelling dictionary. A minimal Qt program that
// shows one empty 600 x 550 window is shown as the floor, for comparison. All
// run as child processes on the offscreen platform, in a temporary home whose
// settings file names an existing conversion-script folder, so that the
// application opens only the converter window. Each child reports the moment
// its window was exposed and painted (see show_probe.h) on the shared
// monotonic clock, then quits. The dictionary loads in the background, so the
// paint does not wait for it; the child waits for it before it ends, so its
// peak memory holds it.

#include "bench/bench_support.h"

#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

extern char** environ;

namespace fs = std::filesystem;

namespace {

constexpr int kWarmUps = 1;
// Whole cycles of the four programs' orders (see bench::roundOrder).
constexpr int kRuns = 12;
constexpr const char* kPlatform = "offscreen";

struct Sample {
    double startupMs;
    double peakMiB;
};

[[noreturn]] void fail(const std::string& why)
{
    std::fprintf(stderr, "startup_bench: %s\n", why.c_str());
    std::exit(1);
}

long long monotonicNanoseconds()
{
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<long long>(now.tv_sec) * 1000000000LL + now.tv_nsec;
}

/// The parent's environment with home, configuration, runtime folder and Qt
/// platform replaced by the bench's own.
std::vector<std::string> childEnvironment(const fs::path& root)
{
    std::vector<std::string> env;
    for (char** entry = environ; *entry; ++entry) {
        const std::string text = *entry;
        const std::string name = text.substr(0, text.find('='));
        if (name != "HOME" && name != "XDG_CONFIG_HOME" && name != "XDG_RUNTIME_DIR" && name != "QT_QPA_PLATFORM")
            env.push_back(text);
    }
    env.push_back("HOME=" + (root / "home").string());
    env.push_back("XDG_CONFIG_HOME=" + (root / "config").string());
    env.push_back("XDG_RUNTIME_DIR=" + (root / "runtime").string());
    env.push_back(std::string("QT_QPA_PLATFORM=") + kPlatform);
    return env;
}

/// Runs the program once and returns when its window was shown and how much memory it took at most.
Sample runOnce(const std::string& program, const std::vector<std::string>& env, const fs::path& errorLog,
               const char* argument = nullptr)
{
    int out[2];
    if (pipe(out) != 0)
        fail("no pipe");
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, out[1], STDOUT_FILENO);
    posix_spawn_file_actions_addclose(&actions, out[0]);
    posix_spawn_file_actions_addclose(&actions, out[1]);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, errorLog.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);

    std::vector<char*> envp;
    for (const std::string& entry : env)
        envp.push_back(const_cast<char*>(entry.c_str()));
    envp.push_back(nullptr);
    char* argv[] = {const_cast<char*>(program.c_str()), const_cast<char*>(argument), nullptr};

    const long long started = monotonicNanoseconds();
    pid_t pid = 0;
    const int spawned = posix_spawn(&pid, program.c_str(), &actions, nullptr, argv, envp.data());
    posix_spawn_file_actions_destroy(&actions);
    close(out[1]);
    if (spawned != 0)
        fail("cannot start " + program + ": " + std::strerror(spawned));

    std::string output;
    char buffer[256];
    for (ssize_t n; (n = read(out[0], buffer, sizeof buffer)) > 0;)
        output.append(buffer, static_cast<size_t>(n));
    close(out[0]);
    int status = 0;
    rusage usage{};
    wait4(pid, &status, 0, &usage);

    long long shownAt = 0;
    int windows = 0;
    if (std::sscanf(output.c_str(), "shown %lld windows %d", &shownAt, &windows) != 2) {
        std::ifstream log(errorLog);
        std::stringstream text;
        text << log.rdbuf();
        fail(program + " reported no shown window; its output: " + output + "\nits errors: " + text.str());
    }
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0)
        fail(program + " did not exit cleanly");
    if (windows != 1)
        fail(program + " showed " + std::to_string(windows) + " windows, not only the one measured");
    return {(shownAt - started) / 1e6, usage.ru_maxrss / 1024.0};
}

/// What a row times, and its samples.
struct Row {
    const char* what;
    const std::vector<double>& samples;
};

/// One measure of the four programs: the application, the window by hand, the
/// empty window and the window with a label, in that order.
void printTable(const std::string& title, const char* unit, double target, const Row (&rows)[4])
{
    const auto& [app, byHand, minimal, label] = rows;
    auto print = [&](const Row& row) { bench::printRow(bench::onPlatform(row.what, kPlatform), row.samples, unit); };
    bench::printHeader(title);
    print(app);
    print(byHand);
    bench::printRatio("ratio of medians, application / by hand",
                      bench::median(app.samples) / bench::median(byHand.samples), target);
    std::printf("  for comparison only:\n");
    print(minimal);
    print(label);
    bench::printComparison("ratio of medians, application / minimal",
                           bench::median(app.samples) / bench::median(minimal.samples));
}

}  // namespace

int main()
{
    char pattern[] = "/tmp/startup-bench-XXXXXX";
    if (!mkdtemp(pattern))
        fail("no temporary folder");
    const fs::path root = pattern;

    // A conversion-script folder that exists and a settings file that names it.
    const fs::path scripts = root / "home" / "conversion-scripts";
    fs::create_directories(scripts);
    std::ofstream(scripts / "tarnwick.py") << "";
    const fs::path settings = root / "config" / "Tessaly Utilities" / "Lumatools";
    fs::create_directories(settings);
    std::ofstream(settings / "twk.txt") << "TarnwickFolder=>" << scripts.string() << "\n";
    fs::create_directories(root / "runtime");
    fs::permissions(root / "runtime", fs::perms::owner_all);

    const std::vector<std::string> env = childEnvironment(root);
    const fs::path errorLog = root / "stderr.txt";

    const std::string app = STARTUP_PROBE_APP;
    const std::string byHand = BY_HAND_WINDOW;
    const std::string minimal = MINIMAL_WINDOW;
    for (int i = 0; i < kWarmUps; ++i) {
        runOnce(app, env, errorLog);
        runOnce(byHand, env, errorLog);
        runOnce(minimal, env, errorLog);
    }
    std::vector<double> appTimes, appMemory, handTimes, handMemory, minimalTimes, minimalMemory, labelTimes, labelMemory;
    auto record = [&](const std::string& program, std::vector<double>& times, std::vector<double>& memory,
                      const char* argument = nullptr) {
        const Sample sample = runOnce(program, env, errorLog, argument);
        times.push_back(sample.startupMs);
        memory.push_back(sample.peakMiB);
    };
    bench::runInterleaved(kRuns, {[&] { record(app, appTimes, appMemory); },
                                  [&] { record(byHand, handTimes, handMemory); },
                                  [&] { record(minimal, minimalTimes, minimalMemory); },
                                  [&] { record(minimal, labelTimes, labelMemory, "--label"); }});
    fs::remove_all(root);

    const std::string children = std::string(", each a child process on Qt's ") + kPlatform + " platform";
    printTable("Start-up: process start until the first window is exposed and painted" + children, "ms", 1.05,
               {{"application: first window painted, dictionary not awaited", appTimes},
                {"by hand on Qt: same window painted, dictionary not awaited", handTimes},
                {"minimal Qt: empty 600x550 window painted", minimalTimes},
                {"minimal Qt: 600x550 window with one label painted", labelTimes}});
    printTable("Peak memory (maximum resident set size) from start to exit" + children, "MiB", 1.35,
               {{"application: first window, dictionary loaded", appMemory},
                {"by hand on Qt: same window, dictionary loaded", handMemory},
                {"minimal Qt: empty 600x550 window", minimalMemory},
                {"minimal Qt: 600x550 window with one label", labelMemory}});
    return 0;
}
