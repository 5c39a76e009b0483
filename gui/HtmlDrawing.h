#pragma once
// Drawings inside generated HTML, on screen and on paper: the tag
// <DRAWING NAME="name" HEIGHT="percent"> is a block as wide as the text and
// percent of that high, painted by the function set under name. A printout
// of the document thus draws the picture as lines and text at the printer's
// resolution, paged with the text around it.
#include <functional>

#include <wx/string.h>

class wxDC;

// dc, the block's rectangle, and the surface's pixels per pixel of a 96-dpi
// screen (for the sizes of text and lines).
using HtmlDrawing =
    std::function<void(wxDC& dc, int x, int y, int width, int height, double scale)>;

// Sets the drawing of name; an empty function takes it away (the block then
// stays empty).
void setHtmlDrawing(const wxString& name, HtmlDrawing drawing);

// The tag of the drawing name, heightPercent of the text's width high.
wxString htmlDrawingTag(const wxString& name, int heightPercent);
