#pragma once
// The graph's canvas on a wx device context: the window on screen, the
// printer page and the print preview.
#include <wx/dc.h>

#include "views/Canvas.h"

class WxCanvas : public Canvas {
public:
    explicit WxCanvas(wxDC& dc) : dc_(dc) {}

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
    wxDC& dc_;
};
