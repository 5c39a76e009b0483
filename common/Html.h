#pragma once
// Text that came from a recorder goes into generated HTML escaped, so no byte
// sequence in a recorder can break a page's markup.
#include <string>
#include <string_view>

std::string escapeHtml(std::string_view text);
