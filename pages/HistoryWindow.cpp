#include "pages/HistoryWindow.h"

#include <algorithm>
#include <filesystem>

#include <wx/dcbuffer.h>
#include <wx/html/htmlcell.h>
#include <wx/html/htmlwin.h>
#include <wx/sizer.h>
#include <wx/splitter.h>
#include <wx/stattext.h>

#include "common/Html.h"
#include "common/LocalTime.h"
#include "common/errorExc.h"
#include "gui/HtmlDrawing.h"
#include "gui/WxCanvas.h"
#include "image/HeaderView.h"
#include "pages/HistoryChart.h"
#include "pages/HistoryDocument.h"
#include "views/ProtocolExport.h"
#include "views/RecorderSession.h"

namespace {

// The chart's panel: painted from the page's rows at any size.
class ChartPanel : public wxWindow {
public:
    ChartPanel(wxWindow* parent, const std::vector<HistoryRow>& rows)
        : wxWindow(parent, wxID_ANY, wxDefaultPosition, wxSize(100, 100), wxFULL_REPAINT_ON_RESIZE),
          rows_(rows) {
        SetBackgroundStyle(wxBG_STYLE_PAINT);
        Bind(wxEVT_PAINT, [this](wxPaintEvent&) {
            wxAutoBufferedPaintDC dc(this);
            dc.SetBackground(*wxWHITE_BRUSH);
            dc.Clear();
            WxCanvas canvas(dc);
            const wxSize size = GetClientSize();
            drawHistoryChart(canvas, rows_, 8, 8, size.x - 16, size.y - 16, 1.0);
        });
    }

private:
    const std::vector<HistoryRow>& rows_;
};

std::string trimmed(std::string s) {
    while (!s.empty() && (s.back() == ' ' || s.back() == '\0'))
        s.pop_back();
    while (!s.empty() && s.front() == ' ')
        s.erase(0, 1);
    return s;
}

// ISO dates and times as the pages show them; other values as they are.
std::string shownValue(const std::string& v) {
    const bool iso = v.size() >= 10 && v[4] == '-' && v[7] == '-';
    if (!iso) return v;
    std::string day = v.substr(8, 2) + "/" + v.substr(5, 2) + "/" + v.substr(0, 4);
    return v.size() >= 16 && v[10] == 'T' ? day + " " + v.substr(11, 5) : day;
}

// The passport's fields of the protocol, with the pages' labels.
std::vector<std::pair<std::string, std::string>> passportOf(const RecorderSession& session) {
    static const std::pair<const char*, const char*> labels[] = {
        {"serial_number", "Серийный номер регистратора"},
        {"firmware", "Версия прошивки"},
        {"commissioning_date", "Дата ввода крана в эксплуатацию"},
        {"installation_date", "Дата установки регистратора"},
        {"service_life_years", "Срок службы крана, лет"},
        {"passport_group", "Паспортная группа классификации"},
        {"last_event", "Последнее событие образа"},
    };
    std::vector<std::pair<std::string, std::string>> fields;
    const ProtocolExport p = protocolExport(session);
    for (const auto& [key, label] : labels)
        for (const auto& [name, value] : p.general)
            if (name == key) fields.emplace_back(label, shownValue(csvText(value)));
    return fields;
}

} // namespace

HistoryWindow::HistoryWindow(wxWindow* parent, const RecorderSession& session)
    : HtmlPrintPanel(parent, L"История"), session_(session) {
    splitter = new wxSplitterWindow(this, wxID_ANY, wxDefaultPosition, wxSize(400, 400),
                                    wxSP_LIVE_UPDATE | wxSP_3DSASH);
    table = new wxHtmlWindow(splitter, wxID_ANY, wxDefaultPosition, wxSize(100, 100),
                             wxHW_SCROLLBAR_AUTO, L"historyTable");
    chart = new ChartPanel(splitter, rows_);
    splitter->SetMinimumPaneSize(60);
    splitter->SetSashGravity(0.45);
    // Split once there are readings to chart.
    chart->Hide();
    splitter->Initialize(table);
    heading = new wxStaticText(this, wxID_ANY, wxString());
    heading->SetFont(heading->GetFont().Bold().Larger());
    auto* sizer = new wxBoxSizer(wxVERTICAL);
    sizer->Add(heading, 0, wxALL, 6);
    sizer->Add(splitter, 1, wxEXPAND);
    SetSizer(sizer);
    // One name per page: the tests make several windows.
    drawingName_ = wxString::Format(L"history%p", static_cast<void*>(this));
    setHtmlDrawing(drawingName_, [this](wxDC& dc, int x, int y, int w, int h, double scale) {
        WxCanvas canvas(dc);
        drawHistoryChart(canvas, rows_, x, y, w, h, scale);
    });
    showMessage("История считываний", "Откройте образ памяти регистратора или считайте его: "
                                      "здесь будут считывания этого регистратора из архива.");
}

HistoryWindow::~HistoryWindow() {
    setHtmlDrawing(drawingName_, {});
}

void HistoryWindow::showMessage(const std::string& title, const std::string& text) {
    rows_.clear();
    heading->Hide();
    Layout();
    tableHtml = wxString::FromUTF8(historyMessageHtml(title, text));
    table->SetPage(tableHtml);
    if (splitter->IsSplit()) splitter->Unsplit(chart);
}

void HistoryWindow::regenerate(const std::string& archiveFolder, const wxString& imageFile) {
    imageFile_ = imageFile;
    folder_ = archiveFolder;
    // The checksum is made again only when the file changed.
    std::string stamp = std::string(imageFile.utf8_str());
    std::error_code error;
    const std::filesystem::path path(std::string(imageFile.fn_str()));
    const auto modified = std::filesystem::last_write_time(path, error);
    if (!error) stamp += "|" + std::to_string(modified.time_since_epoch().count());
    const auto size = std::filesystem::file_size(path, error);
    if (!error) stamp += "|" + std::to_string(size);
    if (stamp != shaStamp_) {
        imageSha256_ =
            imageFile.empty() ? std::string() : imageFileSha256(std::string(imageFile.fn_str()));
        shaStamp_ = stamp;
    }
    serial_ = imageFile.empty() ? std::string() : trimmed(HeaderView(session_.image).serialNumber);
    if (imageFile.empty() || serial_.empty()) {
        showMessage("История считываний",
                    imageFile.empty()
                        ? "Откройте образ памяти регистратора или считайте его: здесь будут "
                          "считывания этого регистратора из архива."
                        : "В образе нет серийного номера регистратора: его считывания нельзя "
                          "найти в архиве.");
        return;
    }
    std::vector<HistoryRow> rows;
    try {
        // A folder not made yet holds no readings; looking does not make it.
        if (wxDirExists(wxString::FromUTF8(archiveFolder)))
            rows = Archive(archiveFolder).history(serial_);
    } catch (const std::exception& e) {
        showMessage("Архив считываний недоступен",
                    escapeHtml(failureText(e, true)) +
                        "<BR>Папка архива: " + escapeHtml(archiveFolder));
        return;
    }
    if (rows.empty()) {
        showMessage("Регистратор № " + escapeHtml(serial_) + ": считываний в архиве нет",
                    "В архиве (" + escapeHtml(archiveFolder) +
                        ") нет ни одного считывания этого регистратора. Чтобы сохранить "
                        "открытый образ в архив, выберите в меню «Файл» команду «В архив»; "
                        "образ, считанный командой «Считать», сохраняется в архив сам.");
        return;
    }
    rows_ = std::move(rows);
    heading->SetLabel(L"Регистратор № " + wxString::FromUTF8(serial_) +
                      wxString::Format(L": считываний в архиве %zu", rows_.size()));
    heading->Show();
    Layout();
    tableHtml = wxString::FromUTF8("<HTML><BODY>" + historyTableHtml(rows_, imageSha256_) +
                                   "</BODY></HTML>");
    table->SetPage(tableHtml);
    if (!splitter->IsSplit()) splitter->SplitHorizontally(table, chart);
    // The table takes the room its rows need, up to a little more than half;
    // when they need more, the latest are in view.
    const wxHtmlContainerCell* cells = table->GetInternalRepresentation();
    const int needed = cells ? cells->GetHeight() + 4 : 0;
    const int room = splitter->GetClientSize().y;
    if (room > 240) splitter->SetSashPosition(std::min(needed, room * 11 / 20));
    if (needed > table->GetClientSize().y) table->Scroll(0, 1 << 20);
    chart->Refresh();
    printer.furniture = L"История считываний регистратора № " + wxString::FromUTF8(serial_);
}

std::optional<wxString> HistoryWindow::printedDocument(bool) {
    if (rows_.empty()) return wxString();
    HistoryPrintFacts facts;
    facts.serial = serial_;
    facts.passport = passportOf(session_);
    facts.imageFile = std::string(imageFile_.utf8_str());
    facts.sha256 = imageSha256_;
    facts.printedOn = localTimeText(int32_t(time(nullptr)), "%d/%m/%Y");
    return wxString::FromUTF8(
        historyPrintHtml(rows_, facts, std::string(htmlDrawingTag(drawingName_, 55).utf8_str())));
}

wxString HistoryWindow::printPdf(const wxString& path) {
    if (rows_.empty())
        return serial_.empty() ? wxString(L"нет образа с серийным номером регистратора")
                               : L"считываний регистратора № " + wxString::FromUTF8(serial_) +
                                     L" в архиве нет (" + wxString::FromUTF8(folder_) + L")";
    return HtmlPrintPanel::printPdf(path);
}
