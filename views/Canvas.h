#pragma once
// The drawing surface the graph paints on: the window and the printer through
// the toolkit's device context (gui/WxCanvas), a PNG file through cairo, and a
// recording canvas in the tests. Coordinates are device pixels with y growing downwards; texts are
// UTF-8 and are placed by the top-left corner of their box.
#include <cstdint>
#include <string>

struct Rgb {
    uint8_t r = 0, g = 0, b = 0;
    bool operator==(const Rgb&) const = default;
};

struct CanvasFont {
    enum Weight { light, normal, bold };
    int points = 0;
    Weight weight = normal;
    const char* face = "Times";
    bool operator==(const CanvasFont& o) const {
        return points == o.points && weight == o.weight && std::string(face) == o.face;
    }
};

class Canvas {
public:
    enum PenStyle { solid, dotDash };

    virtual ~Canvas() = default;

    virtual void setFont(const CanvasFont& font) = 0;
    virtual void setTextColour(Rgb colour) = 0;
    virtual void setPen(Rgb colour, int width, PenStyle style) = 0;
    // Fill of boxes and circles until clearBrush.
    virtual void setBrush(Rgb colour) = 0;
    virtual void clearBrush() = 0;

    // Width and height (line height, as for placing lines of text) in the current font.
    virtual void textExtent(const std::string& text, int& width, int& height) = 0;
    virtual void drawText(const std::string& text, int x, int y) = 0;
    // Turned counter-clockwise about (x, y) by degrees; 90 reads upwards.
    virtual void drawRotatedText(const std::string& text, int x, int y, double degrees) = 0;
    virtual void drawLine(int x1, int y1, int x2, int y2) = 0;
    virtual void drawRectangle(int x, int y, int width, int height) = 0;
    virtual void drawCircle(int x, int y, int radius) = 0;
    // Drawing is kept inside the rectangle until unclip (surfaces that cannot
    // clip draw everything).
    virtual void clip(int, int, int, int) {}
    virtual void unclip() {}
};
