#include "views/ProtocolExport.h"

#include <cmath>

#include "common/Csv.h"
#include "common/Format.h"
#include "common/OutputWriter.h"
#include "image/HeaderView.h"
#include "image/WritableView.h"
#include "views/ProtocolDocument.h"
#include "views/RecorderSession.h"
#include "views/ResourceFigures.h"

const char* const countersNotWrittenText =
    "нет данных счетчиков циклов: в регистраторе не записано ни одной страницы счетчиков";

ProtocolExport protocolExport(const RecorderSession& session) {
    const RecorderImage& image = session.image;
    HeaderView header(image);
    PassportView passport(image);
    const std::optional<ProtocolPeriod> period = session.protocolPeriod();
    ProtocolExport p;
    auto& g = p.general;
    ExportValue none;
    const genericParser* first = session.events.front();
    g.emplace_back("protocol_date",
                   period ? ExportValue::ofTextOrNone(isoLocalTime(period->endSeconds)) : none);
    g.emplace_back("first_event",
                   first ? ExportValue::ofTextOrNone(isoLocalTime(first->seconds, first->tenths))
                         : none);
    const auto* last = static_cast<const genericParser*>(session.events.last);
    g.emplace_back("last_event",
                   last ? ExportValue::ofTextOrNone(isoLocalTime(last->seconds, last->tenths))
                        : none);
    std::optional<ProtocolFigures> f;
    if (period) f = computeProtocol(image, *period);
    g.emplace_back("observed_seconds", f ? ExportValue::of((long long)f->observedSeconds) : none);
    g.emplace_back("serial_number", ExportValue::ofText(header.serialNumber));
    g.emplace_back("firmware", ExportValue::ofText(header.firmwareVersion));
    g.emplace_back("commissioning_date",
                   ExportValue::ofTextOrNone(isoLocalDate(passport.commissioning())));
    g.emplace_back("installation_date",
                   ExportValue::ofTextOrNone(isoLocalDate(passport.installation())));
    g.emplace_back("service_life_years", ExportValue::of(*passport.serviceLife));
    std::optional<ResourceFigures> resource;
    if (f) resource = computeResource(image, *f, *period);
    g.emplace_back("service_life_end",
                   resource ? ExportValue::ofTextOrNone(resource->serviceLifeEnd) : none);
    g.emplace_back("passport_group",
                   ExportValue::ofText(strprintf("A%d", int(*passport.passportGroup))));
    g.emplace_back("text", ExportValue::ofText(passport.text()));
    if (!f) return p;

    const size_t n = f->columns.size() - 1;
    // Counters never written give no figures: nothing, not the erased bytes.
    const bool counted = p.countersWritten = f->countersWritten;
    auto count = [&](uint32_t v) { return counted ? ExportValue::of(v) : none; };
    auto text = [&](std::string s) { return counted ? ExportValue::ofText(std::move(s)) : none; };
    // A quotient of erased or absurd bytes prints as "nan" or "inf": nothing too.
    auto decimal = [&](float v, std::string printed) {
        return counted && std::isfinite(v) ? ExportValue::ofDecimal(std::move(printed)) : none;
    };
    for (size_t i = 0; i < f->columns.size(); ++i) {
        const ProtocolColumn& c = f->columns[i];
        ExportRecord r;
        r.emplace_back("group", ExportValue::of(i < n ? (long long)(i + 1) : 0));
        r.emplace_back("label", ExportValue::ofText(i < n ? strprintf("Группа №%u", unsigned(i + 1))
                                                          : std::string("Кран в целом")));
        r.emplace_back("cycles_total", count(c.total));
        r.emplace_back("cycles_overload", count(c.overloadCycles));
        for (int m = 0; m < 4; ++m)
            r.emplace_back(strprintf("cycles_q%d", m + 1), count(c.modeCycles[m]));
        r.emplace_back("kr", decimal(c.kr, krText(c.kr)));
        r.emplace_back("lifted_t", decimal(c.liftedKg, liftedTonnesText(c.liftedKg)));
        r.emplace_back("loading_mode", text(strprintf("Q%u", c.q)));
        r.emplace_back("utilisation_class", text(strprintf("U%u", c.u)));
        r.emplace_back("classification_group", text(strprintf("A%u", c.a)));
        r.emplace_back("used_resource_percent",
                       decimal(c.usedResource, usedResourceText(c.usedResource)));
        const ResourceColumn& rc = resource->columns[i];
        r.emplace_back("used_to_date_percent",
                       decimal(float(rc.usedToDatePercent), usedToDateText(rc.usedToDatePercent)));
        r.emplace_back("exhaustion_date", ExportValue::ofTextOrNone(rc.exhaustionDate));
        p.columns.push_back(std::move(r));
    }
    for (size_t j = 0; j < f->operatingSeconds.size(); ++j) {
        ExportRecord r;
        r.emplace_back("number", ExportValue::of((long long)(j + 1)));
        r.emplace_back("name", ExportValue::ofText(passport.mechanismName(unsigned(j))));
        r.emplace_back("operating_seconds", count(f->operatingSeconds[j]));
        r.emplace_back("operating_time", text(operatingTimeShown(f->operatingSeconds[j])));
        p.mechanisms.push_back(std::move(r));
    }
    return p;
}

void writeProtocolJson(OutputWriter& w, const ProtocolExport& p) {
    bool repeats = repeatsAName(p.general);
    for (const auto& [name, value] : p.general)
        repeats = repeats || name == "columns" || name == "mechanisms";
    for (const auto* records : {&p.columns, &p.mechanisms})
        for (const auto& r : *records)
            repeats = repeats || repeatsAName(r);
    if (repeats) {
        // The library's own form, which merges the repeated names.
        nlohmann::ordered_json j = jsonObject(p.general);
        j["columns"] = nlohmann::ordered_json::array();
        for (const auto& c : p.columns)
            j["columns"].push_back(jsonObject(c));
        j["mechanisms"] = nlohmann::ordered_json::array();
        for (const auto& m : p.mechanisms)
            j["mechanisms"].push_back(jsonObject(m));
        w.append(jsonText(j, 2));
        w.put('\n');
        return;
    }
    w.put('{');
    writeJsonMembers(w, p.general, 0);
    if (!p.general.empty()) w.put(',');
    writeJsonIndent(w, 1);
    w.append("\"columns\": ");
    writeJsonObjects(w, p.columns, 1);
    w.put(',');
    writeJsonIndent(w, 1);
    w.append("\"mechanisms\": ");
    writeJsonObjects(w, p.mechanisms, 1);
    writeJsonIndent(w, 0);
    w.append("}\n");
}

void writeProtocolCsv(OutputWriter& w, const ProtocolExport& p) {
    writeCsvRecord(w, {"item", "column", "value"});
    for (const auto& [name, value] : p.general)
        writeCsvRecord(w, {name, "", csvText(value)});
    // The cycle table row by row, as the page has it.
    if (!p.columns.empty()) {
        for (size_t k = 2; k < p.columns.front().size(); ++k)
            for (const auto& c : p.columns)
                writeCsvRecord(w, {c[k].first, c[1].second.printed, csvText(c[k].second)});
    }
    for (const auto& m : p.mechanisms)
        for (size_t k = 1; k < m.size(); ++k)
            writeCsvRecord(w, {m[k].first, csvText(m[0].second), csvText(m[k].second)});
}

std::string protocolJson(const ProtocolExport& p) {
    std::string out;
    StringSink sink(out);
    OutputWriter w(sink);
    writeProtocolJson(w, p);
    w.flush();
    return out;
}

std::string protocolCsv(const ProtocolExport& p) {
    std::string out;
    StringSink sink(out);
    OutputWriter w(sink);
    writeProtocolCsv(w, p);
    w.flush();
    return out;
}
