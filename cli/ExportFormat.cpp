#include "cli/ExportFormat.h"

#include <cerrno>
#include <cstdio>

#include "cli/Command.h"
#include "common/CommandLine.h"
#include "common/SafeFile.h"
#include "common/errorExc.h"

std::optional<OutputFormat> parseOutputFormat(const std::string& value,
                                              const std::vector<OutputFormat>& allowed) {
    static const struct {
        const char* name;
        OutputFormat format;
    } names[] = {{"text", OutputFormat::text},
                 {"html", OutputFormat::html},
                 {"csv", OutputFormat::csv},
                 {"json", OutputFormat::json}};
    for (const auto& n : names)
        if (value == n.name)
            for (OutputFormat a : allowed)
                if (a == n.format) return a;
    return std::nullopt;
}

std::string formatOption(const std::vector<std::string>& extra, const std::string& fallback) {
    std::string value = fallback;
    for (size_t i = 0; i + 1 < extra.size(); i += 2)
        if (extra[i] == "--format") value = extra[i + 1];
    return value;
}

std::optional<std::string> csvFormOption(const std::vector<std::string>& extra, OutputFormat format,
                                         CsvForm& form) {
    form = CsvForm::rfc4180;
    for (size_t i = 0; i + 1 < extra.size(); i += 2) {
        if (extra[i] != "--csv-form") continue;
        const std::string& v = extra[i + 1];
        if (v == "ru")
            form = CsvForm::ru;
        else if (v != "rfc4180")
            return badValue("--csv-form", v, "rfc4180 или ru");
        if (format != OutputFormat::csv)
            return std::string("--csv-form действует только с --format csv");
    }
    return std::nullopt;
}

int writeOutput(const std::string& bytes, const std::string& out) {
    if (!out.empty()) {
        try {
            writeFileSafely(out, bytes.data(), bytes.size());
        } catch (const std::exception& e) {
            printFailure(e);
            return 2;
        }
        return 0;
    }
    if (std::fwrite(bytes.data(), 1, bytes.size(), stdout) != bytes.size())
        return stdoutFailed(errno);
    return stdoutFlushed();
}
