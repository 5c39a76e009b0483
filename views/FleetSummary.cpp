#include "views/FleetSummary.h"

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <exception>
#include <memory>
#include <mutex>
#include <thread>

#include "common/Csv.h"
#include "common/ErrorLog.h"
#include "common/OutputWriter.h"
#include "common/errorExc.h"
#include "events/Analysis.h"
#include "events/GL_records.h"
#include "events/SL_records2.h"
#include "views/ProtocolExport.h"
#include "views/RecorderSession.h"

namespace {

// The analyses of the workers log into the row of their own image: while a
// batch runs, each thread's messages go to that thread's collector, and
// those of a thread without one to the log that was there before.
thread_local std::vector<std::string>* threadMessages = nullptr;

class RoutingLog : public ErrorLog {
public:
    explicit RoutingLog(ErrorLog* previous) : previous_(previous) {}
    void error(const std::string& message) override {
        if (threadMessages)
            threadMessages->push_back(message);
        else
            previous_->error(message);
    }

private:
    ErrorLog* previous_;
};

const ExportValue* find(const ExportRecord& r, const std::string& name) {
    for (const auto& [n, v] : r)
        if (n == name) return &v;
    return nullptr;
}

std::string joined(const std::vector<std::string>& messages) {
    std::string s;
    for (const auto& m : messages)
        s += (s.empty() ? "" : " ") + m;
    return s;
}

ExportRecord failedRow(const std::string& path, const std::string& error) {
    ExportRecord row;
    for (const auto& c : summaryColumns())
        row.emplace_back(c, ExportValue{});
    row[0].second = ExportValue::ofText(path);
    row[1].second = ExportValue::ofText(error.empty() ? std::string(InterruptedText) : error);
    return row;
}

// What a worker keeps from one image to the next: its session, and the image
// the next file is read into (the session's previous one, given back by the
// swap), so that a batch allocates no image per file.
struct Worker {
    RecorderSession session;
    RecorderImage incoming;
};

ExportRecord summarizeOne(const std::string& path, Worker& worker) {
    std::vector<std::string> messages;
    threadMessages = &messages;
    struct Reset {
        ~Reset() { threadMessages = nullptr; }
    } reset;
    RecorderSession& session = worker.session;
    // The events go before the next file, whatever this one gives.
    struct Clear {
        RecorderSession& s;
        ~Clear() { s.clearEvents(); }
    } clear{session};
    try {
        worker.incoming.reset(); // as a new image would be
        worker.incoming.load(path, false);
        session.takeImage(worker.incoming);
        if (session.analyse(nullptr) != AnalysisResult::done)
            return failedRow(path, joined(messages));

        const ProtocolExport protocol = protocolExport(session);
        size_t overloads = 0, failures = 0, powerOns = 0;
        for (const genericParser* e = session.events.front(); e; e = eventList::after(e)) {
            if (eventAs<SL_olStart>(e)) ++overloads;
            if (eventAs<GL_sensFail>(e)) ++failures;
            if (eventAs<GL_powerOn>(e)) ++powerOns;
        }
        const ExportRecord* crane = protocol.columns.empty() ? nullptr : &protocol.columns.back();
        auto general = [&](const char* name) { return *find(protocol.general, name); };
        auto figure = [&](const char* name) { return crane ? *find(*crane, name) : ExportValue{}; };
        ExportRecord row;
        row.emplace_back("file", ExportValue::ofText(path));
        // The figures are empty then; the row says why.
        row.emplace_back("error", crane && !protocol.countersWritten
                                      ? ExportValue::ofText(countersNotWrittenText)
                                      : ExportValue{});
        for (const char* name :
             {"serial_number", "firmware", "passport_group", "commissioning_date",
              "installation_date", "first_event", "last_event"})
            row.emplace_back(name, general(name));
        for (const char* name :
             {"cycles_total", "cycles_overload", "kr", "loading_mode", "utilisation_class",
              "classification_group", "used_resource_percent", "used_to_date_percent",
              "exhaustion_date"})
            row.emplace_back(name, figure(name));
        row.emplace_back("service_life_end", general("service_life_end"));
        row.emplace_back("overloads", ExportValue::of((long long)overloads));
        row.emplace_back("sensor_failures", ExportValue::of((long long)failures));
        row.emplace_back("power_ons", ExportValue::of((long long)powerOns));
        return row;
    } catch (const errorExc& e) {
        return failedRow(path, e.message());
    } catch (const std::exception& e) {
        // Out of memory, most likely: this image fails, the batch goes on.
        return failedRow(path, e.what());
    }
}

} // namespace

const std::vector<std::string>& summaryColumns() {
    static const std::vector<std::string> columns = {"file",
                                                     "error",
                                                     "serial_number",
                                                     "firmware",
                                                     "passport_group",
                                                     "commissioning_date",
                                                     "installation_date",
                                                     "first_event",
                                                     "last_event",
                                                     "cycles_total",
                                                     "cycles_overload",
                                                     "kr",
                                                     "loading_mode",
                                                     "utilisation_class",
                                                     "classification_group",
                                                     "used_resource_percent",
                                                     "used_to_date_percent",
                                                     "exhaustion_date",
                                                     "service_life_end",
                                                     "overloads",
                                                     "sensor_failures",
                                                     "power_ons"};
    return columns;
}

FleetSummary summarizeImages(const std::vector<std::string>& paths, unsigned workers,
                             const std::function<void(size_t, size_t)>& progress) {
    FleetSummary summary;
    summary.rows.resize(paths.size());
    if (paths.empty()) return summary;
    if (workers == 0) workers = std::max(1u, std::thread::hardware_concurrency());
    workers = unsigned(std::min<size_t>(workers, paths.size()));

    RoutingLog log(&errorLog());
    ErrorLog* previous = setErrorLog(&log);
    std::atomic<size_t> next{0};
    std::mutex mutex;
    std::condition_variable finished;
    size_t done = 0;
    std::vector<std::thread> threads;
    for (unsigned w = 0; w < workers; ++w) {
        threads.emplace_back([&] {
            auto worker = std::make_unique<Worker>();
            for (size_t i; (i = next++) < paths.size();) {
                ExportRecord row = summarizeOne(paths[i], *worker);
                std::lock_guard<std::mutex> lock(mutex);
                summary.rows[i] = std::move(row);
                ++done;
                finished.notify_one();
            }
        });
    }
    {
        std::unique_lock<std::mutex> lock(mutex);
        for (size_t reported = 0; reported < paths.size();) {
            finished.wait(lock, [&] { return done > reported; });
            reported = done;
            if (progress) {
                lock.unlock();
                progress(reported, paths.size());
                lock.lock();
            }
        }
    }
    for (auto& t : threads)
        t.join();
    setErrorLog(previous);
    for (const auto& row : summary.rows)
        if (row[1].second.kind != ExportValue::none) ++summary.failed;
    return summary;
}

void writeSummaryCsv(OutputWriter& w, const FleetSummary& summary) {
    writeCsvRecord(w, summaryColumns());
    std::vector<std::string> cells;
    for (const auto& row : summary.rows) {
        cells.clear();
        for (const auto& [name, value] : row)
            cells.push_back(csvText(value));
        writeCsvRecord(w, cells);
    }
}

void writeSummaryJson(OutputWriter& w, const FleetSummary& summary) {
    for (const auto& row : summary.rows)
        if (repeatsAName(row)) {
            nlohmann::ordered_json j = nlohmann::ordered_json::array();
            for (const auto& r : summary.rows)
                j.push_back(jsonObject(r));
            w.append(jsonText(j, 2));
            w.put('\n');
            return;
        }
    writeJsonObjects(w, summary.rows, 0);
    w.put('\n');
}

std::string summaryCsv(const FleetSummary& summary) {
    std::string out;
    StringSink sink(out);
    OutputWriter w(sink);
    writeSummaryCsv(w, summary);
    w.flush();
    return out;
}

std::string summaryJson(const FleetSummary& summary) {
    std::string out;
    StringSink sink(out);
    OutputWriter w(sink);
    writeSummaryJson(w, summary);
    w.flush();
    return out;
}
