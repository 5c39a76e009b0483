#pragma once
// The graph's canvas on a cairo context, for image files made without a
// display. Fonts are sized as on a 96-dpi screen, so that a picture of the
// window's size looks like the window.
#include <optional>
#include <string>

#include "views/Canvas.h"

typedef struct _cairo cairo_t;
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

private:
    void source(Rgb colour);
    void stroke();
    cairo_t* cr_;
    Rgb text_, pen_;
    int penWidth_ = 1;
    PenStyle penStyle_ = solid;
    std::optional<Rgb> brush_;
};

// Paints draw on a white width x height picture and writes it as PNG, the
// whole picture or nothing (writeFileSafely). Returns the failure's text (the
// message with the path and the system's reason), or nothing.
std::optional<std::string> writeGraphPng(GraphDraw& draw, int width, int height,
                                         const std::string& path);
// The same picture's PNG bytes into png; an error text or nothing.
std::optional<std::string> graphPng(GraphDraw& draw, int width, int height, std::string& png);
