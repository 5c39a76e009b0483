#pragma once
// The toolkit's own texts in the program's language.
#include <string>

// Makes the texts the toolkit brings with it Russian, like the rest of the
// program, whatever language the system speaks: the buttons of its message
// boxes, its progress dialog, print preview and help window. Call once, after
// the toolkit has started. Only the texts change: the process keeps the C
// locale, which the numbers and dates of files and printouts rely on. Texts
// without a Russian translation (or all of them, when the toolkit's Russian
// catalog is not installed) stay in English.
void useRussianToolkitTexts();

// The label the toolkit shows on a button of stock item id ("gtk-cancel"),
// mnemonic underscore included; empty when the toolkit does not know it.
std::string stockButtonLabel(const char* id);
