#include "bench/PeakMemory.h"

#include <chrono>
#include <cstdio>

#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace kloxmere::bench {

namespace {

struct Spawned {
    pid_t pid = 0;
    int output = -1;  // the read end of the child's standard output, when captured
};

// Starts `arguments`, standard error discarded, standard output discarded or
// captured in a pipe.
std::optional<Spawned> spawn(const std::vector<std::string>& arguments, bool captureOutput) {
    std::vector<char*> argv;
    for (const std::string& argument : arguments)
        argv.push_back(const_cast<char*>(argument.c_str()));
    argv.push_back(nullptr);

    int pipeEnds[2] = {-1, -1};
    if (captureOutput && pipe(pipeEnds) != 0) return std::nullopt;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    if (captureOutput) {
        posix_spawn_file_actions_adddup2(&actions, pipeEnds[1], 1);
        posix_spawn_file_actions_addclose(&actions, pipeEnds[0]);
        posix_spawn_file_actions_addclose(&actions, pipeEnds[1]);
    } else {
        posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    }
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    Spawned spawned;
    int error = posix_spawn(&spawned.pid, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (captureOutput) {
        close(pipeEnds[1]);
        spawned.output = pipeEnds[0];
    }
    if (error != 0) {
        if (spawned.output >= 0) close(spawned.output);
        return std::nullopt;
    }
    return spawned;
}

}  // namespace

std::optional<ProgramRun> RunAndMeasure(const std::vector<std::string>& arguments) {
    if (arguments.empty()) return std::nullopt;
    std::vector<std::string> copy{"/proc/self/exe", kMeasureFlag};
    copy.insert(copy.end(), arguments.begin(), arguments.end());
    auto spawned = spawn(copy, true);
    if (!spawned) return std::nullopt;
    std::string report;
    char buffer[256];
    for (ssize_t n; (n = read(spawned->output, buffer, sizeof buffer)) > 0;)
        report.append(buffer, static_cast<std::size_t>(n));
    close(spawned->output);
    int status = 0;
    waitpid(spawned->pid, &status, 0);

    ProgramRun run;
    long peakKilobytes = 0;
    if (std::sscanf(report.c_str(), "%d %ld %lf %lf", &run.exitStatus, &peakKilobytes, &run.seconds,
                    &run.cpuSeconds) != 4)
        return std::nullopt;
    run.peakResidentMegabytes = static_cast<double>(peakKilobytes) / 1024.0;
    return run;
}

int MeasuringCopyMain(int argc, char** argv) {
    std::vector<std::string> arguments(argv + 2, argv + argc);
    if (arguments.empty()) return 2;
    auto start = std::chrono::steady_clock::now();
    auto spawned = spawn(arguments, false);
    if (!spawned) return 1;
    // wait4 gives this child's own use, not the sum over every child waited for.
    int status = 0;
    rusage usage{};
    if (wait4(spawned->pid, &status, 0, &usage) != spawned->pid) return 1;
    double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    int exitStatus = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    auto toSeconds = [](const timeval& t) {
        return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_usec) / 1e6;
    };
    double cpuSeconds = toSeconds(usage.ru_utime) + toSeconds(usage.ru_stime);
    // ru_maxrss is in kilobytes on Linux.
    std::printf("%d %ld %f %f\n", exitStatus, usage.ru_maxrss, seconds, cpuSeconds);
    return 0;
}

}  // namespace kloxmere::bench
