#include "kit_Platform.h"

#include <sched.h>

namespace kit_Platform {

int usableProcessors()
{
    // The affinity, not the machine's count: `taskset` or a container may allow fewer.
    cpu_set_t set;
    CPU_ZERO(&set);
    if (::sched_getaffinity(0, sizeof set, &set) != 0)
        return 1;
    return CPU_COUNT(&set) > 0 ? CPU_COUNT(&set) : 1;
}

} // namespace kit_Platform
