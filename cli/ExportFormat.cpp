#include "cli/ExportFormat.h"

#include <cerrno>
#include <cstdio>

#include "cli/Command.h"
#include "common/CommandLine.h"
#include "common/OutputWriter.h"
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

namespace {

struct StdoutFailure {
    int code;
};

class StdoutSink : public ByteSink {
public:
    void write(const char* data, size_t size) override {
        if (std::fwrite(data, 1, size, stdout) != size) throw StdoutFailure{errno};
    }
};

// What the bytes pass through on their way to the sink.
enum class Conversion { none, windows1251, russianCsv };

void produce(ByteSink& sink, const std::function<void(OutputWriter&)>& produce) {
    OutputWriter writer(sink);
    produce(writer);
    writer.flush();
}

void produceInto(ByteSink& sink, const std::function<void(OutputWriter&)>& producer,
                 Conversion conversion) {
    if (conversion == Conversion::windows1251) {
        Windows1251Sink converting(sink);
        produce(converting, producer);
        converting.finish();
    } else if (conversion == Conversion::russianCsv) {
        RussianCsvSink converting(sink);
        produce(converting, producer);
        converting.finish();
    } else {
        produce(sink, producer);
    }
}

int writeConverted(const std::string& out, const std::function<void(OutputWriter&)>& produce,
                   Conversion conversion) {
    try {
        if (out.empty()) {
            StdoutSink sink;
            produceInto(sink, produce, conversion);
            return stdoutFlushed();
        }
        writeFileStreamed(out, [&](ByteSink& file) { produceInto(file, produce, conversion); });
        return 0;
    } catch (const StdoutFailure& f) {
        return stdoutFailed(f.code);
    } catch (const NoWindows1251Form& bad) {
        std::fprintf(stderr, "на странице есть знак без формы в Windows-1251: %s\n",
                     bad.character.c_str());
        return 2;
    } catch (const std::exception& e) {
        printFailure(e);
        return 2;
    }
}

} // namespace

int writeStreamed(const std::string& out, const std::function<void(OutputWriter&)>& produce,
                  bool windows1251) {
    return writeConverted(out, produce, windows1251 ? Conversion::windows1251 : Conversion::none);
}

int writeOutput(const std::string& bytes, const std::string& out) {
    return writeStreamed(out, [&](OutputWriter& w) { w.append(bytes); });
}

int writeStreamedCsv(const std::string& out, CsvForm form,
                     const std::function<void(OutputWriter&)>& produce) {
    return writeConverted(out, produce,
                          form == CsvForm::ru ? Conversion::russianCsv : Conversion::none);
}
