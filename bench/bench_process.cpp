// Runs a command several times and reports its median wall time and its peak resident memory,
// as a user starting it from a script would see them.
//   bench_process LABEL WALL_TARGET MEM_TARGET -- COMMAND [ARGS...]
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace {
struct Sample {
    double wallMs;
    long peakKb;
};

bool runOnce(char **command, Sample *sample)
{
    const auto start = std::chrono::steady_clock::now();
    const pid_t pid = fork();
    if (pid < 0) return false;
    if (pid == 0) {
        const int null = open("/dev/null", O_WRONLY);
        dup2(null, STDOUT_FILENO);
        dup2(null, STDERR_FILENO);
        execvp(command[0], command);
        _exit(127);
    }
    int status = 0;
    rusage usage{};
    if (wait4(pid, &status, 0, &usage) != pid) return false;
    const auto end = std::chrono::steady_clock::now();
    sample->wallMs = std::chrono::duration<double, std::milli>(end - start).count();
    sample->peakKb = usage.ru_maxrss;
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}
} // namespace

int main(int argc, char **argv)
{
    if (argc < 6 || std::strcmp(argv[4], "--") != 0) {
        std::fprintf(stderr, "usage: bench_process LABEL WALL_TARGET MEM_TARGET -- COMMAND...\n");
        return 2;
    }
    std::vector<Sample> samples;
    for (int i = 0; i < 15; ++i) {
        Sample s{};
        if (!runOnce(argv + 5, &s)) {
            std::fprintf(stderr, "bench_process: %s failed\n", argv[5]);
            return 1;
        }
        samples.push_back(s);
    }
    std::sort(samples.begin(), samples.end(),
              [](const Sample &a, const Sample &b) { return a.wallMs < b.wallMs; });
    long peak = 0;
    for (const Sample &s : samples)
        peak = std::max(peak, s.peakKb);
    char figure[64];
    std::snprintf(figure, sizeof figure, "%.1f ms, %.1f MB", samples[samples.size() / 2].wallMs,
                  peak / 1024.0);
    const std::string target = std::string("< ") + argv[2] + ", < " + argv[3];
    std::printf("| %-52s | %-22s | %-20s |\n", argv[1], figure, target.c_str());
    return 0;
}
