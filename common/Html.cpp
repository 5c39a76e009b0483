#include "common/Html.h"

std::string escapeHtml(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (char c : text) {
        switch (c) {
        case '&':
            out += "&amp;";
            break;
        case '<':
            out += "&lt;";
            break;
        case '>':
            out += "&gt;";
            break;
        default:
            out += c;
        }
    }
    return out;
}

namespace {

// One preformatted block's text: a newline becomes <BR>, and of a run of
// spaces all but the last, and a space that begins a line, are non-breaking.
void appendWrappable(std::string& out, std::string_view text) {
    for (size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '\n')
            out += "<BR>";
        else if (c == '\r')
            continue;
        else if (c == ' ' &&
                 ((i + 1 < text.size() && text[i + 1] == ' ') || i == 0 || text[i - 1] == '\n'))
            out += "&nbsp;";
        else
            out += c;
    }
}

} // namespace

std::string wrapPreformatted(std::string_view html) {
    constexpr std::string_view open = "<PRE>", close = "</PRE>";
    std::string out;
    out.reserve(html.size());
    size_t at = 0;
    for (size_t start; (start = html.find(open, at)) != std::string_view::npos;) {
        const size_t end = html.find(close, start + open.size());
        if (end == std::string_view::npos) break;
        out.append(html.substr(at, start - at));
        out += "<TT>";
        appendWrappable(out, html.substr(start + open.size(), end - start - open.size()));
        out += "</TT>";
        at = end + close.size();
    }
    out.append(html.substr(at));
    return out;
}
