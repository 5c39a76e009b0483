#pragma once
// A tty in raw mode as the bridge's serial line, with Windows' time-out rules
// emulated by poll() against a monotonic clock.
#include <string>

#include "device/SerialLine.h"

class TermiosLine : public SerialLine {
public:
    // Opens path (exclusively where the tty allows it) in raw mode without
    // flow control; 0 on success, else errno and line stays null.
    static int open(const std::string& path, std::unique_ptr<TermiosLine>& line);
    // The same for a subclass that wraps the descriptor itself.
    static int openTty(const std::string& path, int& fd);
    ~TermiosLine() override;

    bool getCommState(LineState& state) override;
    bool setCommState(const LineState& state) override;
    bool setCommTimeouts(const CommTimeouts& timeouts) override;
    bool readFile(uint8_t* buffer, uint32_t length, uint32_t& got) override;
    bool writeFile(const uint8_t* data, uint32_t length, uint32_t& written) override;
    bool closeHandle() override;
    long lastError() const override { return lastError_; }

    bool isOpen() const { return fd_ >= 0; }
    const std::string& path() const { return path_; }

protected:
    TermiosLine(int fd, std::string path) : fd_(fd), path_(std::move(path)) {}
    bool fail(int error);

private:
    int fd_;
    std::string path_;
    CommTimeouts timeouts_{};
    long lastError_ = 0;
};
