#pragma once
// A bridge's tty as handed out by a bridge library: the serial line plus which
// library and which bridge it belongs to, so the library can recognise its own
// handles in the configuration calls.
#include <string>

#include "device/linux/TermiosLine.h"

class BridgeLine : public TermiosLine {
public:
    template <class Line, class... Args>
    static int open(const std::string& path, std::unique_ptr<Line>& line, Args&&... args) {
        int fd = -1;
        int error = openTty(path, fd);
        if (error == 0) line.reset(new Line(fd, path, std::forward<Args>(args)...));
        return error;
    }

    BridgeLine(int fd, std::string path, const void* owner, size_t slot)
        : TermiosLine(fd, std::move(path)), owner_(owner), slot_(slot) {}

    size_t slot() const { return slot_; }

    // handle as one of owner's open bridge lines, or null.
    template <class Line> static Line* of(SerialLine& handle, const void* owner) {
        auto* line = dynamic_cast<Line*>(&handle);
        return line && line->owner_ == owner && line->isOpen() ? line : nullptr;
    }

private:
    const void* owner_;
    size_t slot_;
};
