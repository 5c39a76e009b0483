#pragma once
// Text that came from a recorder goes into generated HTML escaped, so no byte
// sequence in a recorder can break a page's markup.
#include <string>
#include <string_view>

std::string escapeHtml(std::string_view text);

// The document as printed: preformatted blocks become typewriter text whose
// lines may wrap at single spaces (line breaks and runs of spaces kept), so
// that a long line of a recorder text cannot widen a page past the paper and
// have its tables cut off at the right edge. Everything else is unchanged.
std::string wrapPreformatted(std::string_view html);
