#include "views/CairoCanvas.h"

#include <cairo.h>
#include <cmath>
#include <memory>

#include "common/SafeFile.h"
#include "common/errorExc.h"
#include "views/GraphDraw.h"

namespace {
constexpr double pixelsPerPoint = 96.0 / 72.0;
}

CircleStamps::~CircleStamps() {
    for (const auto& [kind, stamp] : stamps_)
        cairo_surface_destroy(stamp.picture);
}

const CircleStamps::Stamp* CircleStamps::find(const Kind& kind,
                                              const std::function<void(cairo_t*, int)>& draw) {
    if (kind.radius < 0 || kind.radius > 64) return nullptr;
    for (const auto& [k, stamp] : stamps_)
        if (k == kind) return &stamp;
    if (stamps_.size() >= 16) return nullptr;
    const int half = kind.radius + std::max(kind.width, 1) + 2;
    cairo_surface_t* picture =
        cairo_image_surface_create(CAIRO_FORMAT_ARGB32, 2 * half + 1, 2 * half + 1);
    cairo_t* cr = cairo_create(picture);
    draw(cr, half);
    const bool drawn = cairo_status(cr) == CAIRO_STATUS_SUCCESS &&
                       cairo_surface_status(picture) == CAIRO_STATUS_SUCCESS;
    cairo_destroy(cr);
    if (!drawn) {
        cairo_surface_destroy(picture);
        return nullptr;
    }
    stamps_.emplace_back(kind, Stamp{half, picture});
    return &stamps_.back().second;
}

void CircleStamps::paint(cairo_t* cr, const Stamp& stamp, int x, int y) {
    cairo_save(cr);
    cairo_set_source_surface(cr, stamp.picture, x - stamp.half, y - stamp.half);
    cairo_paint(cr);
    cairo_restore(cr);
}

CairoCanvas::~CairoCanvas() = default;

void CairoCanvas::source(cairo_t* cr, Rgb c) const {
    cairo_set_source_rgb(cr, c.r / 255.0, c.g / 255.0, c.b / 255.0);
}

void CairoCanvas::setFont(const CanvasFont& font) {
    cairo_select_font_face(cr_, font.face, CAIRO_FONT_SLANT_NORMAL,
                           font.weight == CanvasFont::bold ? CAIRO_FONT_WEIGHT_BOLD
                                                           : CAIRO_FONT_WEIGHT_NORMAL);
    cairo_set_font_size(cr_, std::max(font.points, 0) * pixelsPerPoint);
}

void CairoCanvas::setPen(Rgb colour, int width, PenStyle style) {
    pen_ = colour;
    penWidth_ = std::max(width, 1);
    penStyle_ = style;
}

void CairoCanvas::textExtent(const std::string& text, int& width, int& height) {
    cairo_text_extents_t te;
    cairo_font_extents_t fe;
    cairo_text_extents(cr_, text.c_str(), &te);
    cairo_font_extents(cr_, &fe);
    width = int(std::lround(te.x_advance));
    height = int(std::lround(fe.ascent + fe.descent));
}

void CairoCanvas::drawText(const std::string& text, int x, int y) {
    drawRotatedText(text, x, y, 0);
}

void CairoCanvas::drawRotatedText(const std::string& text, int x, int y, double degrees) {
    cairo_font_extents_t fe;
    cairo_font_extents(cr_, &fe);
    cairo_save(cr_);
    cairo_translate(cr_, x, y);
    cairo_rotate(cr_, -degrees * M_PI / 180.0);
    cairo_move_to(cr_, 0, fe.ascent);
    source(cr_, text_);
    cairo_show_text(cr_, text.c_str());
    cairo_restore(cr_);
}

void CairoCanvas::stroke(cairo_t* cr) const {
    source(cr, pen_);
    cairo_set_line_width(cr, penWidth_);
    if (penStyle_ == dotDash) {
        const double w = penWidth_;
        const double dashes[] = {7 * w, 3 * w, 1 * w, 3 * w};
        cairo_set_dash(cr, dashes, 4, 0);
    } else {
        cairo_set_dash(cr, nullptr, 0, 0);
    }
    cairo_stroke(cr);
}

void CairoCanvas::drawLine(int x1, int y1, int x2, int y2) {
    // Odd widths sit on pixel centres, so that thin lines stay sharp.
    const double o = penWidth_ % 2 ? 0.5 : 0;
    cairo_move_to(cr_, x1 + o, y1 + o);
    cairo_line_to(cr_, x2 + o, y2 + o);
    cairo_set_line_cap(cr_, CAIRO_LINE_CAP_SQUARE);
    stroke(cr_);
}

void CairoCanvas::drawRectangle(int x, int y, int width, int height) {
    if (width < 0) x += width, width = -width;
    if (height < 0) y += height, height = -height;
    if (brush_) {
        cairo_rectangle(cr_, x, y, width, height);
        source(cr_, *brush_);
        cairo_fill(cr_);
    }
    const double o = penWidth_ % 2 ? 0.5 : 0;
    cairo_rectangle(cr_, x + o, y + o, std::max(width - 1, 0), std::max(height - 1, 0));
    stroke(cr_);
}

void CairoCanvas::circle(cairo_t* cr, double x, double y, int radius) const {
    cairo_new_sub_path(cr);
    cairo_arc(cr, x, y, radius, 0, 2 * M_PI);
    if (brush_) {
        source(cr, *brush_);
        cairo_fill_preserve(cr);
    }
    stroke(cr);
}

bool CircleStamps::onWholePixels(cairo_t* cr) {
    if (cairo_status(cr) != CAIRO_STATUS_SUCCESS) return false;
    // Pixels, never a page of vectors (a PDF keeps its circles).
    cairo_surface_t* target = cairo_get_target(cr);
    const cairo_surface_type_t type = cairo_surface_get_type(target);
    if (type != CAIRO_SURFACE_TYPE_IMAGE && type != CAIRO_SURFACE_TYPE_XLIB &&
        type != CAIRO_SURFACE_TYPE_XCB)
        return false;
    cairo_matrix_t m;
    cairo_get_matrix(cr, &m);
    double sx = 0, sy = 0;
    cairo_surface_get_device_scale(target, &sx, &sy);
    return m.xx == 1 && m.yy == 1 && m.xy == 0 && m.yx == 0 && m.x0 == std::floor(m.x0) &&
           m.y0 == std::floor(m.y0) && sx == 1 && sy == 1;
}

const CircleStamps::Stamp* CairoCanvas::stampFor(int radius) {
    if (!CircleStamps::onWholePixels(cr_)) return nullptr;
    return stamps_.find({radius, penWidth_, penStyle_, pen_, brush_},
                        [&](cairo_t* cr, int half) { circle(cr, half + 0.5, half + 0.5, radius); });
}

void CairoCanvas::drawCircle(int x, int y, int radius) {
    if (const CircleStamps::Stamp* stamp = stampFor(radius)) {
        CircleStamps::paint(cr_, *stamp, x, y);
        return;
    }
    circle(cr_, x + 0.5, y + 0.5, radius);
}

void CairoCanvas::clip(int x, int y, int width, int height) {
    cairo_reset_clip(cr_);
    cairo_new_path(cr_);
    cairo_rectangle(cr_, x, y, width, height);
    cairo_clip(cr_);
}

void CairoCanvas::unclip() {
    cairo_reset_clip(cr_);
}

std::optional<std::string> graphPng(GraphDraw& draw, int width, int height, std::string& png) {
    std::unique_ptr<cairo_surface_t, decltype(&cairo_surface_destroy)> surface(
        cairo_image_surface_create(CAIRO_FORMAT_RGB24, width, height), cairo_surface_destroy);
    if (cairo_surface_status(surface.get()) != CAIRO_STATUS_SUCCESS)
        return std::string(cairo_status_to_string(cairo_surface_status(surface.get())));
    {
        std::unique_ptr<cairo_t, decltype(&cairo_destroy)> cr(cairo_create(surface.get()),
                                                              cairo_destroy);
        cairo_set_source_rgb(cr.get(), 1, 1, 1);
        cairo_paint(cr.get());
        draw.width = width;
        draw.height = height;
        draw.marginLeft = draw.marginRight = draw.marginTop = draw.marginBottom = 0;
        CairoCanvas canvas(cr.get());
        draw.paint(canvas);
    }
    png.clear();
    auto append = [](void* closure, const unsigned char* data, unsigned int length) {
        static_cast<std::string*>(closure)->append(reinterpret_cast<const char*>(data), length);
        return CAIRO_STATUS_SUCCESS;
    };
    cairo_status_t status = cairo_surface_write_to_png_stream(surface.get(), append, &png);
    if (status != CAIRO_STATUS_SUCCESS) return std::string(cairo_status_to_string(status));
    return std::nullopt;
}

std::optional<std::string> writeGraphPng(GraphDraw& draw, int width, int height,
                                         const std::string& path) {
    // Into memory first: a picture cut short by a full disk would replace the
    // old one with a broken file.
    std::string png;
    if (auto error = graphPng(draw, width, height, png)) return error;
    try {
        writeFileSafely(path, png.data(), png.size());
    } catch (const errorExc& e) {
        return e.fullMessage();
    }
    return std::nullopt;
}
