#include "views/ProtocolDocument.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <ctime>

#include "common/Format.h"
#include "common/Html.h"
#include "common/LocalTime.h"
#include "events/eventList.h"
#include "image/BigEndian.h"
#include "image/HeaderView.h"
#include "image/RecorderImage.h"
#include "image/WritableView.h"
#include "views/SharedTexts.h"

namespace {

constexpr float kModeBounds[4] = {0.125f, 0.25f, 0.5f, 1.0f};
constexpr uint32_t kClassBounds[9] = {16000,  32000,   63000,   125000, 250000,
                                      500000, 1000000, 2000000, 4000000};

// The counters arrays of the newest page, copied so that absurd counts or a
// head on the last pages never read past the image: bytes beyond it read as erased.
std::vector<uint8_t> countersBytes(const RecorderImage& image, size_t needed) {
    std::vector<uint8_t> bytes(needed, 0xFF);
    size_t start = size_t(image.countersHead()) * RecorderImage::PageSize;
    if (start < RecorderImage::ImageSize) {
        size_t n = std::min(needed, size_t(RecorderImage::ImageSize) - start);
        std::memcpy(bytes.data(), image.data() + start, n);
    }
    return bytes;
}

std::string dateText(int32_t t, const char* fmt) {
    return localTimeText(t, fmt);
}

std::string sectionHead(const char* title) {
    return std::string("<P ALIGN=CENTER><TABLE ALIGN=LEFT WIDTH=50% BORDER=0>"
                       "<TD BGCOLOR=\"#000040\"><B><FONT COLOR=\"#FFFFFF\">") +
           title + "</FONT></B></TD></TABLE><TABLE ALIGN=LEFT WIDTH=100% BORDER=1>";
}

unsigned nameCountOf(const RecorderImage& image) {
    // The analysis lets only 6 and an erased 0xFF through; the passport view
    // offers six names for the latter.
    return image.discreteCount() == 0xFF ? 6u : image.discreteCount();
}

} // namespace

ProtocolFigures computeProtocol(const RecorderImage& image, const ProtocolPeriod& period) {
    PassportView passport(image);
    ProtocolFigures f;
    f.countersWritten = image.countersSeq() != 0xFF;
    const size_t n = image.groupCount();
    const size_t c = std::min<size_t>(nameCountOf(image), passport.nameCount);
    const size_t stride = 4 * n + 4;
    auto bytes = countersBytes(image, 8 + 7 * stride + 4 * c);
    auto at = [&](int array, size_t i) { return bytes.data() + 8 + array * stride + 4 * i; };

    f.observedSeconds = double(period.lastEventSeconds) - double(passport.installation());
    // The product is formed in double: 255 years of seconds overflow 32 bits.
    f.lifeFactor =
        f.observedSeconds != 0
            ? float(double(*passport.serviceLife) * 365 * 24 * 60 * 60 / f.observedSeconds)
            : 0.0f;
    if (f.lifeFactor < 1) f.lifeFactor = 1;
    const float F = f.lifeFactor;

    for (size_t i = 0; i <= n; ++i) {
        ProtocolColumn col{};
        col.spectrumSum = readFloat(at(0, i));
        col.liftedKg = readFloat(at(1, i));
        for (int m = 0; m < 4; ++m)
            col.modeCycles[m] = readU32(at(2 + m, i));
        col.overloadCycles = readU32(at(6, i));
        col.total = col.modeCycles[0] + col.modeCycles[1] + col.modeCycles[2] + col.modeCycles[3] +
                    col.overloadCycles;
        col.kr = col.total != 0 ? col.spectrumSum / float(col.total) : 0.0f;
        col.q = 4;
        for (int k = 3; k >= 0; --k) {
            if (kModeBounds[k] > col.kr)
                col.q = unsigned(k + 1);
            else
                break;
        }
        const float K = float(col.total) * F;
        col.u = 9;
        if (!(K >= 4000000.0f)) {
            for (int u = 8; u >= 0; --u) {
                if (float(kClassBounds[u]) > K)
                    col.u = unsigned(u);
                else
                    break;
            }
        }
        col.a = unsigned(std::clamp(int(col.q) + int(col.u) - 2, 1, 8));
        int u = std::clamp(int(*passport.passportGroup) - int(col.q) + 2, 0, 8);
        col.usedResource = float(col.total) * F * 100.0f / float(kClassBounds[u]);
        if (col.usedResource > 100) col.usedResource = 100;
        f.columns.push_back(col);
    }
    for (size_t j = 0; j < c; ++j)
        f.operatingSeconds.push_back(readU32(at(7, j)));
    return f;
}

const char* const noDataText = "нет данных";

std::string countText(uint32_t count) {
    return strprintf("%lu", static_cast<unsigned long>(count));
}

std::string krText(float kr) {
    return fixedDecimal(double(kr), 3);
}

std::string liftedTonnesText(float kg) {
    return fixedDecimal(double(kg / 1000), 1);
}

std::string usedResourceText(float percent) {
    return fixedDecimal(double(percent), 0);
}

std::string operatingTimeShown(uint32_t s) {
    if (s > 3599) return fixedDecimal(s / 3600.0, s > 35999 ? 0 : 2) + " ч";
    return countText(s) + " сек";
}

std::string operatingTimeText(uint32_t s) {
    return operatingTimeShown(s) + "</TD>";
}

std::optional<ProtocolPeriod> protocolPeriodOf(const eventList& events) {
    auto* last = static_cast<const genericParser*>(events.last);
    if (!last) return std::nullopt;
    return ProtocolPeriod{last->seconds, events.endSeconds};
}

std::string buildProtocolHtml(const RecorderImage& image,
                              const std::optional<ProtocolPeriod>& period) {
    if (!period) return {};
    HeaderView header(image);
    PassportView passport(image);
    const ProtocolFigures f = computeProtocol(image, *period);
    const size_t n = f.columns.size() - 1;

    std::string h;
    h.reserve(16384);
    h += "<HTML><HEAD>" + htmlCharsetMeta +
         "<TITLE>Протокол условий эксплуатации крана</TITLE></HEAD><BODY>";
    h += "<H2 ALIGN=CENTER><FONT SIZE=\"-1\">Протокол условий эксплуатации крана<BR>от " +
         dateText(period->endSeconds, "%d/%m/%Y %H:%M") + "</FONT></H2>";

    h += sectionHead("Общая информация");
    h += "<TD WIDTH=30%>Дата ввода в крана в эксплуатацию</TD><TD WIDTH=20%><B>" +
         dateText(passport.commissioning(), "%d/%m/%Y") + "</B></TD>";
    h += "<TD WIDTH=30%>Дата установки регистратора</TD><TD WIDTH=20%><B>" +
         dateText(passport.installation(), "%d/%m/%Y") + "</B></TD><TR>";
    h += "<TD>Серийный номер регистратора</TD><TD WIDTH=20%><B>" + escapeHtml(header.serialNumber) +
         "</B></TD><TD>Версия прошивки</TD><TD WIDTH=20%><B>" + escapeHtml(header.firmwareVersion) +
         "</B></TD><TR>";
    h += "<TD>Срок службы крана, лет</TD><TD WIDTH=20%><B>" +
         strprintf("%d", int(*passport.serviceLife)) +
         "</B></TD><TD>Паспортная группа классификации</TD><TD WIDTH=20%><B>A" +
         strprintf("%d", int(*passport.passportGroup)) + "</B></TD><TR>";
    h += "<TD COLSPAN=4><PRE>" + escapeHtml(passport.text()) + "</PRE></TD>";
    h += "</TABLE></P>";

    h += sectionHead("Циклы подъема груза");
    h += "<TD></TD>";
    for (size_t i = 0; i < n; ++i)
        h += "<TD WIDTH=15%>Группа №" + strprintf("%u", unsigned(i + 1)) + "</TD>";
    h += "<TD WIDTH=15%>Кран в целом</TD>";
    auto row = [&](const char* label, const char* cellStart, auto value) {
        h += "<TR><TD>";
        h += label;
        h += "</TD>";
        for (const auto& col : f.columns) {
            if (f.countersWritten) {
                h += cellStart;
                h += value(col);
            } else {
                h += "<TD>";
                h += noDataText;
            }
            h += "</TD>";
        }
    };
    auto lu = countText;
    row("Общее кол-во циклов", "<TD>", [&](const ProtocolColumn& c) { return lu(c.total); });
    row("С перегрузкой", "<TD>", [&](const ProtocolColumn& c) { return lu(c.overloadCycles); });
    row("В режиме Q1", "<TD>", [&](const ProtocolColumn& c) { return lu(c.modeCycles[0]); });
    row("В режиме Q2", "<TD>", [&](const ProtocolColumn& c) { return lu(c.modeCycles[1]); });
    row("В режиме Q3", "<TD>", [&](const ProtocolColumn& c) { return lu(c.modeCycles[2]); });
    row("В режиме Q4", "<TD>", [&](const ProtocolColumn& c) { return lu(c.modeCycles[3]); });
    row("К-т распределения нагрузок Кр", "<TD>",
        [&](const ProtocolColumn& c) { return krText(c.kr); });
    row("Поднято грузов, т", "<TD>",
        [&](const ProtocolColumn& c) { return liftedTonnesText(c.liftedKg); });
    row("Режим нагружения", "<TD>Q", [&](const ProtocolColumn& c) { return strprintf("%u", c.q); });
    row("Класс использования", "<TD>U",
        [&](const ProtocolColumn& c) { return strprintf("%u", c.u); });
    row("Группа классификации", "<TD>A",
        [&](const ProtocolColumn& c) { return strprintf("%u", c.a); });
    row("Использованный ресурс", "<TD>",
        [&](const ProtocolColumn& c) { return usedResourceText(c.usedResource) + "%"; });
    h += "</TABLE></P>";

    h += sectionHead("Время работы механизмов");
    for (size_t j = 0; j < f.operatingSeconds.size(); ++j) {
        h += "<TD WIDTH=70%>" + escapeHtml(passport.mechanismName(unsigned(j))) + "</TD><TD>" +
             (f.countersWritten ? operatingTimeText(f.operatingSeconds[j])
                                : std::string(noDataText) + "</TD>") +
             "<TR>";
    }
    h += "</TABLE></P>";
    h += htmlFooter + "</BODY></HTML>";
    return h;
}
