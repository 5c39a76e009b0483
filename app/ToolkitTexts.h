#pragma once
// The toolkit's own texts in the program's language.
#include <string>

// Makes the texts the toolkit brings with it Russian, like the rest of the
// program, whatever language the system speaks: the buttons of its message
// boxes, its progress dialog, print preview and help window, GTK's file, print
// and page set-up dialogs, and (where the system has the ru_RU.UTF-8 locale)
// the calendar's month and day names. Call once, after the toolkit has
// started. Only the texts change: the messages and time names of the C
// library become Russian, everything else (numbers above all) keeps the C
// locale, which files and printouts rely on. Texts without a Russian
// translation (or all of them, when the Russian catalogs are not installed)
// stay in English.
void useRussianToolkitTexts();

// The label the toolkit shows on a button of stock item id ("gtk-cancel"),
// mnemonic underscore included; empty when the toolkit does not know it.
std::string stockButtonLabel(const char* id);
