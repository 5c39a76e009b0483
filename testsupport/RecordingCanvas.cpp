#include "testsupport/RecordingCanvas.h"

#include "common/Format.h"
#include "common/Text1251.h"

std::string CanvasOp::describe() const {
    static const char* const names[] = {"text", "rotated", "line", "rectangle", "circle"};
    std::string s =
        strprintf("%s %d %d %d %d pen %u,%u,%u/%d%s", names[kind], x1, y1, x2, y2, pen.r, pen.g,
                  pen.b, penWidth, penStyle == Canvas::dotDash ? " dot-dash" : "");
    if (brush) s += strprintf(" brush %u,%u,%u", brush->r, brush->g, brush->b);
    if (kind == plainText || kind == rotatedText)
        s += strprintf(" colour %u,%u,%u font %d/%d \"%s\"", textColour.r, textColour.g,
                       textColour.b, font.points, int(font.weight), text.c_str());
    return s;
}

void RecordingCanvas::setPen(Rgb colour, int width, PenStyle style) {
    pen_ = colour;
    penWidth_ = width;
    penStyle_ = style;
}

void RecordingCanvas::textExtent(const std::string& text, int& width, int& height) {
    width = int(utf8Length(text)) * charWidth(font_.points);
    height = font_.points;
}

CanvasOp RecordingCanvas::make(CanvasOp::Kind kind) const {
    CanvasOp op;
    op.kind = kind;
    op.pen = pen_;
    op.penWidth = penWidth_;
    op.penStyle = penStyle_;
    op.brush = brush_;
    op.textColour = textColour_;
    op.font = font_;
    return op;
}

void RecordingCanvas::drawText(const std::string& text, int x, int y) {
    CanvasOp op = make(CanvasOp::plainText);
    op.text = text;
    op.x1 = x, op.y1 = y;
    ops.push_back(op);
}

void RecordingCanvas::drawRotatedText(const std::string& text, int x, int y, double degrees) {
    CanvasOp op = make(CanvasOp::rotatedText);
    op.text = text;
    op.x1 = x, op.y1 = y;
    op.degrees = degrees;
    ops.push_back(op);
}

void RecordingCanvas::drawLine(int x1, int y1, int x2, int y2) {
    CanvasOp op = make(CanvasOp::line);
    op.x1 = x1, op.y1 = y1, op.x2 = x2, op.y2 = y2;
    ops.push_back(op);
}

void RecordingCanvas::drawRectangle(int x, int y, int width, int height) {
    CanvasOp op = make(CanvasOp::rectangle);
    op.x1 = x, op.y1 = y, op.x2 = width, op.y2 = height;
    ops.push_back(op);
}

void RecordingCanvas::drawCircle(int x, int y, int radius) {
    CanvasOp op = make(CanvasOp::circle);
    op.x1 = x, op.y1 = y, op.x2 = radius;
    ops.push_back(op);
}

std::vector<CanvasOp> RecordingCanvas::all(CanvasOp::Kind kind) const {
    std::vector<CanvasOp> v;
    for (const auto& op : ops)
        if (op.kind == kind) v.push_back(op);
    return v;
}

std::vector<CanvasOp> RecordingCanvas::withPen(CanvasOp::Kind kind, Rgb pen) const {
    std::vector<CanvasOp> v;
    for (const auto& op : ops)
        if (op.kind == kind && op.pen == pen) v.push_back(op);
    return v;
}

const CanvasOp* RecordingCanvas::findText(const std::string& text) const {
    for (const auto& op : ops)
        if ((op.kind == CanvasOp::plainText || op.kind == CanvasOp::rotatedText) && op.text == text)
            return &op;
    return nullptr;
}

std::string RecordingCanvas::dump() const {
    std::string s;
    for (const auto& op : ops)
        s += op.describe() + "\n";
    return s;
}
