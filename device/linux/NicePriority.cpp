#include "device/linux/NicePriority.h"

#include <cerrno>
#include <sys/resource.h>

bool NicePriority::setPriorityClass(uint32_t priorityClass) {
    if (priorityClass == HighPriorityClass) {
        if (raised_) return true;
        errno = 0;
        int current = ::getpriority(PRIO_PROCESS, 0);
        if (current == -1 && errno != 0) return false;
        // Without the right to raise it the transfer simply runs at the usual priority.
        if (current <= HighNice || ::setpriority(PRIO_PROCESS, 0, HighNice) != 0) return false;
        before_ = current;
        raised_ = true;
        return true;
    }
    if (priorityClass == NormalPriorityClass) {
        if (!raised_) return true;
        raised_ = false;
        return ::setpriority(PRIO_PROCESS, 0, before_) == 0;
    }
    return false;
}
