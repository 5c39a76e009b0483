#pragma once
// The graph's canvas on a cairo context, for image files made without a
// display. Fonts are sized as on a 96-dpi screen, so that a picture of the
// window's size looks like the window.
#include <optional>
#include <string>
#include <vector>

#include "views/Canvas.h"

typedef struct _cairo cairo_t;
typedef struct _cairo_surface cairo_surface_t;
class GraphDraw;

class CairoCanvas : public Canvas {
public:
    explicit CairoCanvas(cairo_t* cr) : cr_(cr) {}

    void setFont(const CanvasFont& font) override;
    void setTextColour(Rgb colour) override { text_ = colour; }
    void setPen(Rgb colour, int width, PenStyle style) override;
    void setBrush(Rgb colour) override { brush_ = colour; }
    void clearBrush() override { brush_.reset(); }
    void textExtent(const std::string& text, int& width, int& height) override;
    void drawText(const std::string& text, int x, int y) override;
    void drawRotatedText(const std::string& text, int x, int y, double degrees) override;
    void drawLine(int x1, int y1, int x2, int y2) override;
    void drawRectangle(int x, int y, int width, int height) override;
    void drawCircle(int x, int y, int radius) override;
    void clip(int x, int y, int width, int height) override;
    void unclip() override;

    ~CairoCanvas() override;
    CairoCanvas(const CairoCanvas&) = delete;
    CairoCanvas& operator=(const CairoCanvas&) = delete;

private:
    void source(cairo_t* cr, Rgb colour) const;
    void stroke(cairo_t* cr) const;
    void circle(cairo_t* cr, double x, double y, int radius) const;
    // A circle of radius drawn with the pen and brush of now on a picture of
    // its own, centred at (half, half): painted where a circle goes, it puts
    // the same pixels there as drawing the circle, for a fraction of the
    // work. None where the target is no picture of pixels as they are.
    struct Stamp {
        int radius, width;
        PenStyle style;
        Rgb pen;
        std::optional<Rgb> brush;
        int half;
        cairo_surface_t* picture;
    };
    const Stamp* stampFor(int radius);
    cairo_t* cr_;
    Rgb text_, pen_;
    int penWidth_ = 1;
    PenStyle penStyle_ = solid;
    std::optional<Rgb> brush_;
    std::vector<Stamp> stamps_;
};

// Paints draw on a white width x height picture and writes it as PNG, the
// whole picture or nothing (writeFileSafely). Returns the failure's text (the
// message with the path and the system's reason), or nothing.
std::optional<std::string> writeGraphPng(GraphDraw& draw, int width, int height,
                                         const std::string& path);
// The same picture's PNG bytes into png; an error text or nothing.
std::optional<std::string> graphPng(GraphDraw& draw, int width, int height, std::string& png);
