#pragma once
// Texts that several pages and printouts share (UTF-8).
#include <string>

// Graph printout footer; Cyrillic "с" before "блоком".
extern const std::string printFooter;
// The maker's line under the graph.
extern const std::string noticeLine;
// Footer of the journal and the protocol; Latin "c" before "блоком".
extern const std::string htmlFooter;
// Every generated HTML page carries it; exported files are Windows-1251 to match.
extern const std::string htmlCharsetMeta;
