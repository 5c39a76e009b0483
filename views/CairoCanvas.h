#pragma once
// The graph's canvas on a cairo context, for image files made without a
// display. Fonts are sized as on a 96-dpi screen, so that a picture of the
// window's size looks like the window.
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "views/Canvas.h"

typedef struct _cairo cairo_t;
typedef struct _cairo_surface cairo_surface_t;
class GraphDraw;

// Circles each drawn once on a picture of its own and painted where a circle
// goes: on a picture of pixels as they are (no scale, whole pixels), that
// puts the same pixels there as drawing the circle, for a fraction of the
// work (a repaint of the graph draws a couple of thousand such circles).
class CircleStamps {
public:
    // What a circle looks like.
    struct Kind {
        int radius, width;
        Canvas::PenStyle style;
        Rgb pen;
        std::optional<Rgb> brush;
        bool operator==(const Kind&) const = default;
    };
    // A circle of its kind centred at (half, half) of picture.
    struct Stamp {
        int half;
        cairo_surface_t* picture;
    };
    CircleStamps() = default;
    ~CircleStamps();
    CircleStamps(const CircleStamps&) = delete;
    CircleStamps& operator=(const CircleStamps&) = delete;

    // The picture of kind; the first time, draw(cr, half) draws it on a new
    // transparent one. None for a radius out of reason, when a few kinds are
    // kept already, or when drawing failed.
    const Stamp* find(const Kind& kind, const std::function<void(cairo_t*, int half)>& draw);
    // Paints stamp on cr with its centre at (x, y).
    static void paint(cairo_t* cr, const Stamp& stamp, int x, int y);
    // Whether cr draws on pixels as they are, where a stamp can stand for a
    // circle: a picture or a window, no scale, offsets of whole pixels.
    static bool onWholePixels(cairo_t* cr);

private:
    std::vector<std::pair<Kind, Stamp>> stamps_;
};

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
    const CircleStamps::Stamp* stampFor(int radius);
    cairo_t* cr_;
    Rgb text_, pen_;
    int penWidth_ = 1;
    PenStyle penStyle_ = solid;
    std::optional<Rgb> brush_;
    CircleStamps stamps_;
};

// Paints draw on a white width x height picture and writes it as PNG, the
// whole picture or nothing (writeFileSafely). Returns the failure's text (the
// message with the path and the system's reason), or nothing.
std::optional<std::string> writeGraphPng(GraphDraw& draw, int width, int height,
                                         const std::string& path);
// The same picture's PNG bytes into png; an error text or nothing.
std::optional<std::string> graphPng(GraphDraw& draw, int width, int height, std::string& png);
