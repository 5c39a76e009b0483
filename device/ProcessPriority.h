#pragma once
// The process's scheduling class during a transfer, with Windows' class values.
#include <cstdint>

class ProcessPriority {
public:
    static constexpr uint32_t NormalPriorityClass = 0x20;
    static constexpr uint32_t HighPriorityClass = 0x80;

    virtual ~ProcessPriority() = default;
    // Best effort: a system that refuses leaves the priority as it was.
    virtual bool setPriorityClass(uint32_t priorityClass) = 0;
};
