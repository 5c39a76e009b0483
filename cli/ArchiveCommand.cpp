// gruvik2-cli archive add|list|history|fleet|check|rebuild: the archive of
// readings. The folder is --archive DIR, else $GRUVIK2_ARCHIVE, else
// $XDG_DATA_HOME/gruvik2/archive (~/.local/share/gruvik2/archive).
#include <cstdio>
#include <ctime>
#include <optional>
#include <string>

#include "cli/Command.h"
#include "cli/ExportFormat.h"
#include "common/CommandLine.h"
#include "common/LocalTime.h"
#include "common/OutputWriter.h"
#include "common/SafeFile.h"
#include "common/errorExc.h"
#include "history/Archive.h"
#include "history/ArchiveTables.h"

namespace {

const char* const Usage = "add ОБРАЗ... | list [--serial S] | history СЕРИЙНЫЙ_НОМЕР | fleet "
                          "[--date ГГГГ-ММ-ДД] | check [--repair] | rebuild [--archive ПАПКА]";
const char* const Help =
    "Архив считываний: копии образов по регистраторам (СЕРИЙНЫЙ_НОМЕР/\n"
    "ГГГГ-ММ-ДД_ЧЧММСС.rpd по времени последнего события) и индекс их показателей.\n"
    "  add ОБРАЗ...              подшить образы (тот же образ подшивается один раз)\n"
    "  list [--serial S]         считывания (одного регистратора с --serial)\n"
    "  history СЕРИЙНЫЙ_НОМЕР    считывания регистратора по времени с показателями\n"
    "                            периодов между соседними считываниями\n"
    "  fleet [--date ГГГГ-ММ-ДД] парк: строка на регистратор по последнему\n"
    "                            считыванию, с отметками (израсходовано не меньше 2/3\n"
    "                            ресурса; срок службы или ресурс кончаются в ближайшие\n"
    "                            12 месяцев; перегрузки или отказы датчиков с прошлого\n"
    "                            считывания; нет считываний больше 12 месяцев); 12\n"
    "                            месяцев считаются от --date (по умолчанию: сегодня)\n"
    "  check [--repair]          сверить индекс с файлами; с --repair исправить:\n"
    "                            подшить файлы не из индекса, убрать записи без файлов\n"
    "                            и остатки прерванных записей\n"
    "  rebuild                   построить индекс заново по файлам образов\n"
    "                            (заметки инженера хранятся рядом с образами и остаются)\n"
    "  --archive ПАПКА           папка архива (иначе $GRUVIK2_ARCHIVE, иначе\n"
    "                            ~/.local/share/gruvik2/archive)\n"
    "  --format text|csv|json    вид таблиц list, history и fleet: текст (по\n"
    "                            умолчанию), CSV (RFC 4180) или JSON\n"
    "  --csv-form rfc4180|ru     ru: CSV для таблиц на русском: «;», десятичная\n"
    "                            запятая, метка порядка байтов UTF-8\n"
    "  --out ФАЙЛ                записать таблицу в файл (- или без него: стандартный\n"
    "                            вывод)\n"
    "Код завершения check: 0 архив в порядке (или исправлен), 2 остались ошибки.\n";

int writeTable(const std::vector<ExportRecord>& table, OutputFormat format, CsvForm form,
               const std::string& out) {
    if (format == OutputFormat::csv)
        return writeStreamedCsv(out, form, [&](OutputWriter& w) { writeTableCsv(w, table); });
    return writeStreamed(out, [&](OutputWriter& w) {
        if (format == OutputFormat::json)
            writeTableJson(w, table);
        else
            writeTableText(w, table);
    });
}

std::optional<int64_t> dateOption(const std::string& value) {
    struct tm t {};
    int y, m, d;
    char extra;
    if (std::sscanf(value.c_str(), "%4d-%2d-%2d%c", &y, &m, &d, &extra) != 3) return std::nullopt;
    t.tm_year = y - 1900;
    t.tm_mon = m - 1;
    t.tm_mday = d;
    t.tm_hour = 12;
    t.tm_isdst = -1;
    if (auto s = secondsOfLocalIn32(t)) return *s;
    return std::nullopt;
}

int add(Archive& archive, const std::vector<std::string>& images) {
    int status = 0;
    for (const std::string& image : images) {
        try {
            const Archive::Added a = archive.add(image);
            if (a.alreadyFiled)
                std::printf("%s: уже в архиве: %s\n", image.c_str(), a.path.c_str());
            else
                std::printf("%s: подшит: %s\n", image.c_str(), a.path.c_str());
        } catch (const errorExc& e) {
            std::fprintf(stderr, "%s: %s\n", image.c_str(), e.fullMessage().c_str());
            status = 2;
        }
    }
    return status;
}

int run(const std::vector<std::string>& args) {
    if (args.empty()) return usageError("archive", "не указано действие");
    const std::string action = args[0];
    const std::vector<std::string> rest(args.begin() + 1, args.end());
    CommandLine line;
    std::optional<std::string> error = parseCommandLine(rest,
                                                        {{"archive"},
                                                         {"format"},
                                                         {"csv-form"},
                                                         {"out"},
                                                         {"serial"},
                                                         {"date"},
                                                         {"repair", 0, false}},
                                                        line);
    std::string folder = Archive::defaultFolder(), out, serial, date;
    std::vector<std::string> extra;
    bool repair = false;
    for (const auto& [name, value] : line.options) {
        if (name == "archive")
            folder = value;
        else if (name == "out")
            out = value == "-" ? std::string() : value;
        else if (name == "serial")
            serial = value;
        else if (name == "date")
            date = value;
        else if (name == "repair")
            repair = true;
        else
            extra.insert(extra.end(), {"--" + name, value});
        const bool fits = name == "archive" ||
                          ((name == "format" || name == "csv-form" || name == "out") &&
                           (action == "list" || action == "history" || action == "fleet")) ||
                          (name == "serial" && action == "list") ||
                          (name == "date" && action == "fleet") ||
                          (name == "repair" && action == "check");
        if (!error && !fits)
            error = "параметр --" + name + " к действию " + action + " не относится";
    }
    const auto& operands = line.operands;
    if (!error) {
        if (action == "add") {
            if (operands.empty()) error = "не указан файл образа";
        } else if (action == "history") {
            if (operands.size() != 1)
                error = operands.empty() ? "не указан серийный номер"
                                         : "лишний аргумент: " + operands[1];
            else
                serial = operands[0];
        } else if (action == "list" || action == "fleet" || action == "check" ||
                   action == "rebuild") {
            if (!operands.empty()) error = "лишний аргумент: " + operands[0];
        } else {
            error = "неизвестное действие: " + action;
        }
    }
    const std::string formatName = formatOption(extra, "text");
    const auto format =
        parseOutputFormat(formatName, {OutputFormat::text, OutputFormat::csv, OutputFormat::json});
    if (!error && !format) error = badValue("--format", formatName, "text, csv или json");
    CsvForm form = CsvForm::rfc4180;
    if (!error) error = csvFormOption(extra, *format, form);
    int64_t now = std::time(nullptr);
    if (!error && !date.empty()) {
        if (auto d = dateOption(date))
            now = *d;
        else
            error = badValue("--date", date, "ГГГГ-ММ-ДД");
    }
    if (!error && folder.empty()) error = "не указана папка архива";
    if (error) return usageError("archive", *error);

    // The images given are read, never written: not even through the archive.
    for (const std::string& image : operands)
        if (action == "add") protectInput(image);
    Archive archive(folder);
    if (action == "add") return add(archive, operands);
    if (action == "list")
        return writeTable(readingsTable(archive.list(serial)), *format, form, out);
    if (action == "history") {
        const auto rows = archive.history(serial);
        if (rows.empty()) {
            std::fprintf(stderr, "в архиве нет считываний регистратора %s: %s\n", serial.c_str(),
                         archive.folder().c_str());
            return 2;
        }
        return writeTable(*format == OutputFormat::text ? historySummaryTable(rows)
                                                        : historyTable(rows),
                          *format, form, out);
    }
    if (action == "fleet") return writeTable(fleetTable(archive.fleet(now)), *format, form, out);
    if (action == "check") {
        const ArchiveCheck c = archive.check(repair);
        for (const std::string& p : c.problems)
            std::printf("%s\n", p.c_str());
        if (c.consistent)
            std::printf("архив в порядке: %s\n", archive.folder().c_str());
        else if (c.unrepaired == 0)
            std::printf("архив исправлен: %s\n", archive.folder().c_str());
        return c.unrepaired == 0 ? 0 : 2;
    }
    archive.rebuild();
    std::printf("индекс архива построен заново: %zu образов\n", archive.list().size());
    return 0;
}

const bool registered = registerCommand({"archive", Usage, run, Help});

} // namespace
