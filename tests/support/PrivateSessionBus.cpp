#include "PrivateSessionBus.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <unistd.h>
#include <vector>

void runOnPrivateSessionBus(char *argv[], const char *busConfig)
{
    const char *marker = std::getenv("RANGEUR_TEST_PRIVATE_BUS");
    if (marker != nullptr && std::strcmp(marker, "1") == 0)
        return;
    setenv("RANGEUR_TEST_PRIVATE_BUS", "1", 1);
    std::string configArg = std::string("--config-file=") + busConfig;
    std::vector<char *> args{const_cast<char *>("dbus-run-session"), configArg.data(),
                             const_cast<char *>("--")};
    for (char **arg = argv; *arg != nullptr; ++arg)
        args.push_back(*arg);
    args.push_back(nullptr);
    execvp(args[0], args.data());
    std::fprintf(stderr, "Cannot start dbus-run-session (scripts/setup installs it): %s\n",
                 std::strerror(errno));
    std::exit(1);
}
