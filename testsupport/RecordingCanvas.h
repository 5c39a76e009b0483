#pragma once
// A canvas that keeps every drawing call with the pen, brush, font and text
// colour in force, and measures texts with fixed metrics, so that tests can
// check a painting's geometry line by line.
#include <algorithm>
#include <optional>
#include <string>
#include <vector>

#include "views/Canvas.h"

struct CanvasOp {
    enum Kind { plainText, rotatedText, line, rectangle, circle };
    Kind kind = line;
    std::string text;
    int x1 = 0, y1 = 0, x2 = 0, y2 = 0; // line ends; box x, y, width, height; circle x, y, radius
    double degrees = 0;
    Rgb pen;
    int penWidth = 1;
    Canvas::PenStyle penStyle = Canvas::solid;
    std::optional<Rgb> brush;
    Rgb textColour;
    CanvasFont font;

    std::string describe() const;
};

class RecordingCanvas : public Canvas {
public:
    // Every character is 3/5 of the points wide (at least 1 when points > 0),
    // every line as tall as the points.
    static int charWidth(int points) { return points > 0 ? std::max(points * 3 / 5, 1) : 0; }

    void setFont(const CanvasFont& font) override { font_ = font; }
    void setTextColour(Rgb colour) override { textColour_ = colour; }
    void setPen(Rgb colour, int width, PenStyle style) override;
    void setBrush(Rgb colour) override { brush_ = colour; }
    void clearBrush() override { brush_.reset(); }
    void textExtent(const std::string& text, int& width, int& height) override;
    void drawText(const std::string& text, int x, int y) override;
    void drawRotatedText(const std::string& text, int x, int y, double degrees) override;
    void drawLine(int x1, int y1, int x2, int y2) override;
    void drawRectangle(int x, int y, int width, int height) override;
    void drawCircle(int x, int y, int radius) override;

    std::vector<CanvasOp> ops;

    std::vector<CanvasOp> all(CanvasOp::Kind kind) const;
    // Drawing calls made with a pen of this colour.
    std::vector<CanvasOp> withPen(CanvasOp::Kind kind, Rgb pen) const;
    // The first text drawn with exactly this content.
    const CanvasOp* findText(const std::string& text) const;
    // Every call, one per line, for failure messages.
    std::string dump() const;

private:
    CanvasOp make(CanvasOp::Kind kind) const;
    CanvasFont font_;
    Rgb textColour_, pen_;
    int penWidth_ = 1;
    PenStyle penStyle_ = solid;
    std::optional<Rgb> brush_;
};
