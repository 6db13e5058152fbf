// Execs a program with the monotonic time of the exec in KANAVOX_BENCH_T0_US, so that
// the program can tell how long its start took.
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <string>
#include <unistd.h>

int main(int argc, char **argv)
{
    if (argc < 2) {
        std::fputs("usage: bench_spawn <program> [args...]\n", stderr);
        return 2;
    }
    timespec ts;
    clock_gettime(CLOCK_MONOTONIC, &ts);
    const long long us = (long long)ts.tv_sec * 1000000 + ts.tv_nsec / 1000;
    setenv("KANAVOX_BENCH_T0_US", std::to_string(us).c_str(), 1);
    execv(argv[1], argv + 1);
    std::perror("bench_spawn");
    return 127;
}
