#include "views/SharedTexts.h"

const std::string printFooter =
    "Напечатано из программы Грувик2 версии 1.0.0 для ОГП серии РАНД с блоком логики МИРТ";
const std::string noticeLine = "© Разработчики программы Грувик2, 2025–2026";
const std::string htmlFooter =
    "<P ALIGN=\"CENTER\"><FONT SIZE=-2 COLOR=RED>Напечатано из программы Грувик2 версии 1.0.0 "
    "для ОГП серии РАНД c блоком логики МИРТ<BR>"
    "&copy; Разработчики программы Грувик2, 2025&ndash;2026</FONT></P>";
const std::string htmlCharsetMeta =
    "<meta http-equiv=\"Content-Type\" content=\"text/html; charset=windows-1251\">";
