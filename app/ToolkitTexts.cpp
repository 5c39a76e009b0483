#include "app/ToolkitTexts.h"

#include <dlfcn.h>

#include <clocale>
#include <cstdlib>

#include <map>

#include <wx/control.h>
#include <wx/translation.h>

// The buttons of the standard kinds (cancel, close, yes, no...) do not show the
// text they were given: the toolkit puts up its own stock item, whose label GTK
// translates with the process's message locale. That locale is C here, so they
// would stay English beside Russian texts. GTK lets a program translate stock
// labels itself; these few entries of its (frozen) stock interface are looked
// up in the already loaded library rather than declared through its
// development headers, which the program does not otherwise need.
namespace {

struct GtkStockItem {
    char* stockId;
    char* label;
    int modifier;
    unsigned keyval;
    char* translationDomain;
};
using TranslateFunc = const char* (*)(const char* label, void* data);
using SetTranslateFunc = void (*)(const char* domain, TranslateFunc func, void* data,
                                  void (*destroy)(void*));
using StockLookup = int (*)(const char* id, GtkStockItem* item);

template <typename F> F gtkFunction(const char* name) {
    return reinterpret_cast<F>(dlsym(RTLD_DEFAULT, name));
}

// The catalog's translation of text, which writes the mnemonic with '&'. The
// catalog holds some labels only in their menu form with an ellipsis
// ("&Open..."), which is dropped again, and some with the mnemonic on another
// letter or without one: the plain text's translation then gets the mnemonic
// on its first letter.
wxString catalogTranslation(const wxString& text) {
    wxString russian = wxGetTranslation(text);
    if (russian != text) return russian;
    russian = wxGetTranslation(text + L"...");
    if (russian != text + L"...") {
        russian.EndsWith(L"...", &russian);
        return russian;
    }
    const wxString plain = wxControl::RemoveMnemonics(text);
    russian = wxGetTranslation(plain);
    if (russian != plain) return L"&" + wxControl::RemoveMnemonics(russian);
    return text;
}

// "_Cancel" -> "_Отмена", "_Open" -> "_Открыть". Labels the catalog cannot
// translate come back as they are. GTK keeps the pointer it gets, so every
// translation lives to the program's end.
const char* translateStockLabel(const char* label, void*) {
    static std::map<std::string, std::string> translated;
    auto it = translated.find(label);
    if (it == translated.end()) {
        wxString text = wxString::FromUTF8(label);
        text.Replace(L"_", L"&");
        wxString russian = catalogTranslation(text);
        russian.Replace(L"&", L"_");
        it = translated.emplace(label, std::string(russian.utf8_str())).first;
    }
    return it->second.c_str();
}

// Sets the first Russian locale the system has for category; false when it
// has none.
bool setRussianLocale(int category) {
    for (const char* name : {"ru_RU.UTF-8", "ru_RU.utf8", "ru_RU"})
        if (std::setlocale(category, name)) return true;
    return false;
}

} // namespace

void useRussianToolkitTexts() {
    // GTK's own texts (its file, print and page set-up dialogs) come from its
    // message catalogs, chosen by LC_MESSAGES and LANGUAGE; month and day
    // names (the calendar) from LC_TIME. Numbers (LC_NUMERIC) and collation
    // keep the C locale, which files and printouts rely on. Without a
    // Russian locale C.UTF-8 still lets LANGUAGE choose the Russian catalogs,
    // which the plain C locale would ignore.
    if (!setRussianLocale(LC_MESSAGES)) std::setlocale(LC_MESSAGES, "C.UTF-8");
    setRussianLocale(LC_TIME);
    ::setenv("LANGUAGE", "ru", 1);
    // Those texts are UTF-8: in the C locale's ASCII the C library would
    // spell its own messages (the system's reasons under an error) in Latin
    // letters, and GLib could not convert them at all. C.UTF-8 classifies
    // characters as C does.
    std::setlocale(LC_CTYPE, "C.UTF-8");

    auto* translations = new wxTranslations;
    translations->SetLanguage(wxLANGUAGE_RUSSIAN);
    translations->AddStdCatalog();
    wxTranslations::Set(translations);

    auto lookup = gtkFunction<StockLookup>("gtk_stock_lookup");
    auto setTranslate = gtkFunction<SetTranslateFunc>("gtk_stock_set_translate_func");
    if (!lookup || !setTranslate) return;
    // The first lookup registers GTK's own items and its own translation of
    // them, which would otherwise replace ours later.
    GtkStockItem item;
    lookup("gtk-ok", &item);
    setTranslate("gtk30", translateStockLabel, nullptr, nullptr);
}

std::string stockButtonLabel(const char* id) {
    auto lookup = gtkFunction<StockLookup>("gtk_stock_lookup");
    GtkStockItem item{};
    if (!lookup || !lookup(id, &item) || !item.label) return {};
    return item.label;
}
