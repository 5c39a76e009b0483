#include "gui/WxCanvas.h"

#include <algorithm>

#include <wx/brush.h>
#include <wx/font.h>
#include <wx/pen.h>

namespace {
wxColour colourOf(Rgb c) {
    return wxColour(c.r, c.g, c.b);
}
} // namespace

void WxCanvas::setFont(const CanvasFont& font) {
    static const wxFontWeight weights[] = {wxFONTWEIGHT_LIGHT, wxFONTWEIGHT_NORMAL,
                                           wxFONTWEIGHT_BOLD};
    // A font of 0 points is refused by the toolkit; such a surface gets no plot anyway.
    dc_.SetFont(wxFont(std::max(font.points, 1), wxFONTFAMILY_SWISS, wxFONTSTYLE_NORMAL,
                       weights[font.weight], false, wxString::FromUTF8(font.face),
                       wxFONTENCODING_CP1251));
}

void WxCanvas::setTextColour(Rgb colour) {
    dc_.SetTextForeground(colourOf(colour));
}

void WxCanvas::setPen(Rgb colour, int width, PenStyle style) {
    dc_.SetPen(
        wxPen(colourOf(colour), width, style == dotDash ? wxPENSTYLE_DOT_DASH : wxPENSTYLE_SOLID));
}

void WxCanvas::setBrush(Rgb colour) {
    dc_.SetBrush(wxBrush(colourOf(colour)));
}

void WxCanvas::clearBrush() {
    dc_.SetBrush(*wxTRANSPARENT_BRUSH);
}

void WxCanvas::textExtent(const std::string& text, int& width, int& height) {
    wxCoord w = 0, h = 0;
    dc_.GetTextExtent(wxString::FromUTF8(text), &w, &h);
    width = w;
    height = h;
}

void WxCanvas::drawText(const std::string& text, int x, int y) {
    dc_.DrawText(wxString::FromUTF8(text), x, y);
}

void WxCanvas::drawRotatedText(const std::string& text, int x, int y, double degrees) {
    dc_.DrawRotatedText(wxString::FromUTF8(text), x, y, degrees);
}

void WxCanvas::drawLine(int x1, int y1, int x2, int y2) {
    dc_.DrawLine(x1, y1, x2, y2);
}

void WxCanvas::drawRectangle(int x, int y, int width, int height) {
    dc_.DrawRectangle(x, y, width, height);
}

void WxCanvas::drawCircle(int x, int y, int radius) {
    dc_.DrawCircle(x, y, radius);
}

void WxCanvas::clip(int x, int y, int width, int height) {
    dc_.SetClippingRegion(x, y, std::max(width, 1), std::max(height, 1));
}

void WxCanvas::unclip() {
    dc_.DestroyClippingRegion();
}
