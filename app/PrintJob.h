#pragma once
// gruvik2 --print-pdf OUT.pdf --page protocol|journal|graph|history [options]
// IMAGE:
// the batch print of one page to a PDF file, through the printouts that
// "Распечатать" uses, with no dialog to answer.
#include <optional>
#include <string>
#include <vector>

#include "views/ReportOptions.h"

class MainFrame;
class wxString;

struct PrintJob {
    enum Page { protocol, journal, graph, history };
    std::string out; // the PDF file
    Page page = protocol;
    bool landscape = false;
    // IMAGE, the filter options of gruvik2-cli journal, and in extra the
    // job's own options (--archive among them).
    ReportOptions options;
    bool fromGiven = false, toGiven = false;
};

// Whether the program's arguments ask for a print job (--print-pdf).
bool isPrintJob(const std::vector<std::string>& args);
// The program's arguments with --print-pdf; an error text when they are not a job.
std::optional<PrintJob> parsePrintJob(const std::vector<std::string>& args, std::string& error);

// Opens and analyses the job's image in frame as the open command does, sets
// the filter pane as the options say, applies it and prints the page. Paths
// are taken relative to startFolder. Returns the exit status: 0, or 2 with the
// messages on stderr.
int runPrintJob(MainFrame& frame, const PrintJob& job, const wxString& startFolder);
