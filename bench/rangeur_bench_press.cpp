// Times a command from an event to its end, for the press-to-end benchmark (bench/press.sh).
//
//   rangeur-bench-press --key -- PROGRAM ARG...   starts PROGRAM at once; at each line read
//                                                 from standard input (the first: "go"),
//                                                 sends Return through XTest, waits for
//                                                 PROGRAM's end and prints the nanoseconds
//   rangeur-bench-press --run -- PROGRAM ARG... [--then PROGRAM ARG...]...
//                                                 at "go", runs each PROGRAM in turn, the next
//                                                 once the last has succeeded, and prints the
//                                                 nanoseconds to the end of the last
//
// The clock starts at the event itself, in a process already running, and stops when wait4
// returns: neither a process start of the harness nor a polling interval is counted. After the
// nanoseconds comes the processor time (user and system, nanoseconds) spent from the event to
// the end: for --key, the program's whole time less what its threads had used before the key
// (a thread already gone by then counts as used after it, which only ever adds to the figure).
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <dirent.h>
#include <fstream>
#include <memory>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>
#include <xcb/xcb.h>
#include <xcb/xtest.h>

namespace {

constexpr xcb_keysym_t kReturn = 0xff0d;

long long nowNs()
{
    timespec t{};
    clock_gettime(CLOCK_MONOTONIC, &t);
    return t.tv_sec * 1000000000LL + t.tv_nsec;
}

pid_t start(char **argv)
{
    const pid_t pid = fork();
    if (pid == 0) {
        execvp(argv[0], argv);
        std::fprintf(stderr, "rangeur-bench-press: %s: %s\n", argv[0], std::strerror(errno));
        _exit(127);
    }
    return pid;
}

long long ns(const timeval &t)
{
    return t.tv_sec * 1000000000LL + t.tv_usec * 1000LL;
}

// Waits for the end of pid and adds its processor time to *cpuNs; false when it did not end
// with status 0.
bool ended(pid_t pid, long long *cpuNs)
{
    int status = 0;
    rusage usage{};
    while (wait4(pid, &status, 0, &usage) < 0)
        if (errno != EINTR)
            return false;
    *cpuNs += ns(usage.ru_utime) + ns(usage.ru_stime);
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

// The processor time the threads of pid have used so far, in nanoseconds: the first field of
// each thread's schedstat, which the kernel keeps to the nanosecond, unlike the clock ticks of
// /proc/PID/stat.
long long threadsCpuNs(pid_t pid)
{
    const std::string tasks = "/proc/" + std::to_string(pid) + "/task";
    DIR *dir = opendir(tasks.c_str());
    if (!dir)
        return 0;
    long long sum = 0;
    while (const dirent *entry = readdir(dir)) {
        if (entry->d_name[0] == '.')
            continue;
        std::ifstream stat(tasks + "/" + entry->d_name + "/schedstat");
        long long onCpu = 0;
        if (stat >> onCpu)
            sum += onCpu;
    }
    closedir(dir);
    return sum;
}

xcb_keycode_t keycodeOf(xcb_connection_t *c, xcb_keysym_t sym)
{
    const xcb_setup_t *setup = xcb_get_setup(c);
    const int count = setup->max_keycode - setup->min_keycode + 1;
    const std::unique_ptr<xcb_get_keyboard_mapping_reply_t, decltype(&std::free)> map(
        xcb_get_keyboard_mapping_reply(c, xcb_get_keyboard_mapping(c, setup->min_keycode, count),
                                       nullptr),
        &std::free);
    if (!map)
        return 0;
    const xcb_keysym_t *syms = xcb_get_keyboard_mapping_keysyms(map.get());
    for (int i = 0; i < count * map->keysyms_per_keycode; ++i)
        if (syms[i] == sym)
            return xcb_keycode_t(setup->min_keycode + i / map->keysyms_per_keycode);
    return 0;
}

} // namespace

int main(int argc, char **argv)
{
    if (argc < 4 || std::strcmp(argv[2], "--") != 0 ||
        (std::strcmp(argv[1], "--key") != 0 && std::strcmp(argv[1], "--run") != 0)) {
        std::fprintf(stderr, "usage: rangeur-bench-press --key|--run -- PROGRAM ARG...\n");
        return 2;
    }
    const bool key = std::strcmp(argv[1], "--key") == 0;
    char **command = argv + 3;
    const auto awaitGo = [] {
        char buffer[64];
        return std::fgets(buffer, sizeof buffer, stdin) != nullptr;
    };

    if (!key) {
        std::vector<char **> commands{command};
        for (char **a = command; *a; ++a)
            if (std::strcmp(*a, "--then") == 0) {
                *a = nullptr; // ends the command before it
                commands.push_back(a + 1);
            }
        if (!awaitGo())
            return 1;
        const long long t0 = nowNs();
        bool ok = true;
        long long cpu = 0;
        for (char **each : commands)
            if (!(ok = ended(start(each), &cpu)))
                break;
        std::printf("%lld %lld\n", nowNs() - t0, cpu);
        return ok ? 0 : 1;
    }

    xcb_connection_t *c = xcb_connect(nullptr, nullptr);
    if (xcb_connection_has_error(c)) {
        std::fprintf(stderr, "rangeur-bench-press: no display\n");
        return 1;
    }
    const xcb_keycode_t code = keycodeOf(c, kReturn);
    if (code == 0) {
        std::fprintf(stderr, "rangeur-bench-press: no key gives Return\n");
        return 1;
    }
    const pid_t pid = start(command);
    std::printf("started\n");
    std::fflush(stdout);
    if (!awaitGo()) {
        kill(pid, SIGTERM);
        return 1;
    }
    long long cpu = -threadsCpuNs(pid);
    const long long t0 = nowNs();
    xcb_test_fake_input(c, XCB_KEY_PRESS, code, XCB_CURRENT_TIME, XCB_NONE, 0, 0, 0);
    xcb_test_fake_input(c, XCB_KEY_RELEASE, code, XCB_CURRENT_TIME, XCB_NONE, 0, 0, 0);
    xcb_flush(c);
    const bool ok = ended(pid, &cpu);
    std::printf("%lld %lld\n", nowNs() - t0, cpu);
    xcb_disconnect(c);
    return ok ? 0 : 1;
}
