// The CSV quoting of the exports and the writing of an exported file.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <sys/stat.h>

#include "common/Csv.h"
#include "common/ExportFile.h"
#include "common/errorExc.h"
#include "testsupport/CsvReader.h"
#include "testsupport/TempDir.h"

namespace {

TEST(Csv, QuotesOnlyFieldsThatNeedItAndDoublesTheirQuotes) {
    EXPECT_EQ(csvField("plain text"), "plain text");
    EXPECT_EQ(csvField(""), "");
    EXPECT_EQ(csvField("Кран в целом"), "Кран в целом");
    EXPECT_EQ(csvField("a,b"), "\"a,b\"");
    EXPECT_EQ(csvField("say \"нуля\""), "\"say \"\"нуля\"\"\"");
    EXPECT_EQ(csvField("two\nlines"), "\"two\nlines\"");
    EXPECT_EQ(csvField("cr\r"), "\"cr\r\"");
    EXPECT_EQ(csvField("\""), "\"\"\"\"");
}

TEST(Csv, RecordsEndWithCrLfAndReadBackAsWritten) {
    const std::vector<std::vector<std::string>> rows = {
        {"time", "description", "value"},
        {"01/02/2024 10:00:00.5", "Изменение точки отсчета (\"нуля\"), группа 1", "-5"},
        {"", "line one\r\nline two", ""},
        {"\"", ",", "\t; x"},
    };
    std::string out;
    for (const auto& r : rows)
        appendCsvRecord(out, r);
    EXPECT_EQ(out.substr(0, 25), "time,description,value\r\n0");
    EXPECT_EQ(out.substr(out.size() - 2), "\r\n");
    EXPECT_EQ(readCsv(out), rows);
}

std::string bytesOf(const std::filesystem::path& p) {
    std::ifstream in(p, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

size_t entries(const std::filesystem::path& dir) {
    return size_t(std::distance(std::filesystem::directory_iterator(dir),
                                std::filesystem::directory_iterator()));
}

TEST(ExportFile, ReplacesAFileWholeAndKeepsItsPermissions) {
    TempDir dir;
    const std::string path = dir.file("out.csv");
    writeExportFile(path, "first\r\n");
    EXPECT_EQ(bytesOf(path), "first\r\n");
    ::chmod(path.c_str(), 0640);
    writeExportFile(path, "second, longer\r\n");
    EXPECT_EQ(bytesOf(path), "second, longer\r\n");
    struct stat st {};
    ASSERT_EQ(::stat(path.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0640u);
    writeExportFile(path, "");
    EXPECT_EQ(bytesOf(path), "");
    EXPECT_EQ(entries(dir.path()), 1u); // no temporary left beside it
}

TEST(ExportFile, AFailureNamesThePathAndLeavesNothingBehind) {
    TempDir dir;
    // A folder where the file should go: the rename fails after the write.
    const std::string folder = dir.file("taken");
    std::filesystem::create_directory(folder);
    std::ofstream(dir.file("taken/inside")) << "kept";
    try {
        writeExportFile(folder, "data");
        FAIL() << "no error";
    } catch (const errorExc& e) {
        EXPECT_NE(e.message().find(folder), std::string::npos) << e.message();
    }
    EXPECT_TRUE(std::filesystem::is_directory(folder));
    EXPECT_EQ(bytesOf(dir.file("taken/inside")), "kept");
    EXPECT_EQ(entries(dir.path()), 1u);

    EXPECT_THROW(writeExportFile(dir.file("missing/out.csv"), "data"), errorExc);
    EXPECT_EQ(entries(dir.path()), 1u);
}

} // namespace
