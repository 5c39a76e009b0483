#include "gui/WxCanvas.h"

#include <algorithm>
#include <memory>

#include <cairo.h>
#include <wx/brush.h>
#include <wx/font.h>
#include <wx/graphics.h>
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
    pen_ = colour;
    penWidth_ = width;
    penStyle_ = style;
    dc_.SetPen(
        wxPen(colourOf(colour), width, style == dotDash ? wxPENSTYLE_DOT_DASH : wxPENSTYLE_SOLID));
}

void WxCanvas::setBrush(Rgb colour) {
    brush_ = colour;
    dc_.SetBrush(wxBrush(colourOf(colour)));
}

void WxCanvas::clearBrush() {
    brush_.reset();
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

cairo_t* WxCanvas::pixelTarget() const {
    // The toolkit's cairo context, drawing as DrawCircle would: plain
    // composition, the usual smoothing, on whole pixels.
    wxGraphicsContext* gc = dc_.GetGraphicsContext();
    if (!gc || gc->GetRenderer() != wxGraphicsRenderer::GetCairoRenderer() ||
        gc->GetAntialiasMode() != wxANTIALIAS_DEFAULT ||
        gc->GetCompositionMode() != wxCOMPOSITION_OVER)
        return nullptr;
    auto* cr = static_cast<cairo_t*>(gc->GetNativeContext());
    return cr && CircleStamps::onWholePixels(cr) ? cr : nullptr;
}

const CircleStamps::Stamp* WxCanvas::stampFor(int radius) {
    return stamps_.find({radius, penWidth_, penStyle_, pen_, brush_}, [&](cairo_t* cr, int half) {
        // Drawn by the toolkit as DrawCircle draws on the target, but at
        // (half, half) of a transparent picture.
        std::unique_ptr<wxGraphicsContext> gc(
            wxGraphicsRenderer::GetCairoRenderer()->CreateContextFromNativeContext(cr));
        gc->EnableOffset(dc_.GetGraphicsContext()->OffsetEnabled());
        gc->SetPen(dc_.GetPen());
        gc->SetBrush(dc_.GetBrush());
        gc->DrawEllipse(half - radius, half - radius, 2 * radius, 2 * radius);
    });
}

void WxCanvas::drawCircle(int x, int y, int radius) {
    if (cairo_t* cr = pixelTarget())
        if (const CircleStamps::Stamp* stamp = stampFor(radius)) {
            CircleStamps::paint(cr, *stamp, x, y);
            return;
        }
    dc_.DrawCircle(x, y, radius);
}

void WxCanvas::clip(int x, int y, int width, int height) {
    dc_.SetClippingRegion(x, y, std::max(width, 1), std::max(height, 1));
}

void WxCanvas::unclip() {
    dc_.DestroyClippingRegion();
}
