#pragma once
// The graph's canvas on a wx device context: the window on screen, the
// printer page and the print preview.
#include <optional>
#include <vector>

#include <wx/dc.h>

#include "views/Canvas.h"

typedef struct _cairo cairo_t;
typedef struct _cairo_surface cairo_surface_t;

class WxCanvas : public Canvas {
public:
    explicit WxCanvas(wxDC& dc) : dc_(dc) {}
    ~WxCanvas() override;
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
    // A circle of radius drawn by the toolkit with the pen and brush of now
    // on a picture of its own, centred at (half, half). Where the DC draws
    // with cairo on whole pixels, painting it where a circle goes puts the
    // same pixels there as drawing the circle, for a fraction of the work
    // (a repaint of the graph draws a couple of thousand such circles).
    struct Stamp {
        int radius, width;
        PenStyle style;
        Rgb pen;
        std::optional<Rgb> brush;
        int half;
        cairo_surface_t* picture;
    };
    const Stamp* stampFor(cairo_t* target, int radius);
    cairo_t* pixelTarget() const;

    wxDC& dc_;
    Rgb pen_;
    int penWidth_ = 1;
    PenStyle penStyle_ = solid;
    std::optional<Rgb> brush_;
    std::vector<Stamp> stamps_;
};
