// bench_plain RAIL DURATION SOI EXPECTED: the floor bench_cli measures
// mapwright convert against. It reads the three map files as the program
// does and writes the bytes of EXPECTED (what convert printed for them) to
// standard output: a whole process that does the same input and output with
// nothing but the C++ library.
//
// bench_plain --peak-of PROGRAM ARGS...: runs the program (its output to
// /dev/null) and prints the most memory it held, its maximum resident set in
// KiB. A process started by a small one: a child's count starts with what its
// parent held when it was started.

#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <spawn.h>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>

extern char** environ;

namespace {

bool Read(const char* path, std::string& bytes) {
    std::FILE* file = std::fopen(path, "rb");
    if (file == nullptr) {
        return false;
    }
    char buffer[65536];
    std::size_t n = 0;
    while ((n = std::fread(buffer, 1, sizeof buffer, file)) > 0) {
        bytes.append(buffer, n);
    }
    const bool ok = std::ferror(file) == 0;
    std::fclose(file);
    return ok;
}

int PeakOf(char** argv) {
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    pid_t pid = 0;
    const int rc = posix_spawn(&pid, argv[0], &actions, nullptr, argv, environ);
    posix_spawn_file_actions_destroy(&actions);
    int status = 0;
    rusage usage{};
    if (rc != 0 || ::wait4(pid, &status, 0, &usage) != pid || !WIFEXITED(status) ||
        WEXITSTATUS(status) != 0) {
        return 1;
    }
    std::printf("%ld\n", usage.ru_maxrss);
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    if (argc >= 3 && std::strcmp(argv[1], "--peak-of") == 0) {
        return PeakOf(argv + 2);
    }
    if (argc != 5) {
        std::fprintf(stderr, "usage: bench_plain RAIL DURATION SOI EXPECTED\n");
        return 2;
    }
    std::string maps[3];
    std::string expected;
    for (int i = 0; i < 3; ++i) {
        if (!Read(argv[i + 1], maps[i])) {
            return 2;
        }
    }
    if (!Read(argv[4], expected)) {
        return 2;
    }
    const bool written =
        std::fwrite(expected.data(), 1, expected.size(), stdout) == expected.size();
    return written && std::fflush(stdout) == 0 ? 0 : 2;
}
