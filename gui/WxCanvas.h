#pragma once
// The graph's canvas on a wx device context: the window on screen, the
// printer page and the print preview.
#include <optional>

#include <wx/dc.h>

#include "views/CairoCanvas.h"

class WxCanvas : public Canvas {
public:
    explicit WxCanvas(wxDC& dc) : dc_(dc) {}
    ~WxCanvas() override = default;
    WxCanvas(const WxCanvas&) = delete;
    WxCanvas& operator=(const WxCanvas&) = delete;

    void setFont(const CanvasFont& font) override;
    void setTextColour(Rgb colour) override;
    void setPen(Rgb colour, int width, PenStyle style) override;
    void setBrush(Rgb colour) override;
    void clearBrush() override;
    void textExtent(const std::string& text, int& width, int& height) override;
    void drawText(const std::string& text, int x, int y) override;
    void drawRotatedText(const std::string& text, int x, int y, double degrees) override;
    void drawLine(int x1, int y1, int x2, int y2) override;
    void drawRectangle(int x, int y, int width, int height) override;
    void drawCircle(int x, int y, int radius) override;
    void clip(int x, int y, int width, int height) override;
    void unclip() override;

private:
    // The circle of radius as the toolkit draws it with the pen and brush
    // of now, when the DC draws on pixels as they are.
    const CircleStamps::Stamp* stampFor(int radius);
    cairo_t* pixelTarget() const;

    wxDC& dc_;
    Rgb pen_;
    int penWidth_ = 1;
    PenStyle penStyle_ = solid;
    std::optional<Rgb> brush_;
    CircleStamps stamps_;
};
