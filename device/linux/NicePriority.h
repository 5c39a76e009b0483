#pragma once
// The Windows priority classes as the calling thread's nice value: high lowers
// it, normal puts back the value it had before.
#include "device/ProcessPriority.h"

class NicePriority : public ProcessPriority {
public:
    static constexpr int HighNice = -10;
    bool setPriorityClass(uint32_t priorityClass) override;

private:
    bool raised_ = false;
    int before_ = 0;
};
