// proc_stats RUNS COMMAND [ARGS...]: runs a command RUNS times with its standard output thrown
// away and prints "MEDIAN_MS MIN_MS MAX_RSS_KIB" for the whole processes: wall time from spawn
// to exit, and the largest resident size any run reached. A run that fails ends the measurement
// with exit status 1. Used by the comparison scripts, where a shell's own timing would count the
// start-up of the `date` processes it runs.
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <vector>

extern char** environ;

namespace {

double nowMs() {
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return static_cast<double>(ts.tv_sec) * 1e3 + static_cast<double>(ts.tv_nsec) / 1e6;
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 3 || std::atoi(argv[1]) < 1) {
        std::fputs("usage: proc_stats RUNS COMMAND [ARGS...]\n", stderr);
        return 2;
    }
    const int runs = std::atoi(argv[1]);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    std::vector<double> times;
    long maxRss = 0;
    for (int i = 0; i < runs; ++i) {
        pid_t pid = 0;
        const double start = nowMs();
        if (posix_spawnp(&pid, argv[2], &actions, nullptr, argv + 2, environ) != 0) {
            std::perror(argv[2]);
            return 1;
        }
        int status = 0;
        rusage usage{};
        wait4(pid, &status, 0, &usage);
        times.push_back(nowMs() - start);
        maxRss = std::max(maxRss, usage.ru_maxrss);
        if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
            std::fprintf(stderr, "proc_stats: %s failed\n", argv[2]);
            return 1;
        }
    }
    std::sort(times.begin(), times.end());
    std::printf("%.2f %.2f %ld\n", times[times.size() / 2], times.front(), maxRss);
    return 0;
}
