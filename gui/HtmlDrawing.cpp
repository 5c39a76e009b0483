#include "gui/HtmlDrawing.h"

#include <algorithm>
#include <map>

#include <wx/html/htmlcell.h>
#include <wx/html/winpars.h>

namespace {

std::map<wxString, HtmlDrawing>& drawings() {
    static std::map<wxString, HtmlDrawing> all;
    return all;
}

class DrawingCell : public wxHtmlCell {
public:
    DrawingCell(const wxString& name, int heightPercent, double scale)
        : name_(name), heightPercent_(heightPercent), scale_(scale) {
        // A page break moves above the drawing rather than cut it.
        SetCanLiveOnPagebreak(false);
    }

    void Layout(int width) override {
        m_Width = width;
        m_Height = width * heightPercent_ / 100;
        wxHtmlCell::Layout(width);
    }

    void Draw(wxDC& dc, int x, int y, int, int, wxHtmlRenderingInfo&) override {
        auto it = drawings().find(name_);
        if (it != drawings().end() && it->second)
            it->second(dc, x + m_PosX, y + m_PosY, m_Width, m_Height, scale_);
    }

private:
    wxString name_;
    int heightPercent_;
    double scale_;
};

class DrawingTagHandler : public wxHtmlWinTagHandler {
public:
    wxString GetSupportedTags() override { return L"DRAWING"; }
    bool HandleTag(const wxHtmlTag& tag) override {
        int percent = 50;
        if (tag.HasParam(L"HEIGHT")) tag.GetParamAsInt(L"HEIGHT", &percent);
        m_WParser->CloseContainer();
        wxHtmlContainerCell* container = m_WParser->OpenContainer();
        container->SetCanLiveOnPagebreak(false);
        container->InsertCell(new DrawingCell(tag.GetParam(L"NAME"), std::clamp(percent, 1, 200),
                                              m_WParser->GetPixelScale()));
        m_WParser->CloseContainer();
        m_WParser->OpenContainer();
        return false;
    }
};

class DrawingTagsModule : public wxHtmlTagsModule {
public:
    void FillHandlersTable(wxHtmlWinParser* parser) override {
        parser->AddTagHandler(new DrawingTagHandler);
    }
    wxDECLARE_DYNAMIC_CLASS(DrawingTagsModule);
};
wxIMPLEMENT_DYNAMIC_CLASS(DrawingTagsModule, wxHtmlTagsModule);

} // namespace

void setHtmlDrawing(const wxString& name, HtmlDrawing drawing) {
    if (drawing)
        drawings()[name] = std::move(drawing);
    else
        drawings().erase(name);
}

wxString htmlDrawingTag(const wxString& name, int heightPercent) {
    return wxString::Format(L"<DRAWING NAME=\"%s\" HEIGHT=\"%d\">", name, heightPercent);
}
