#include "history/Archive.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <map>
#include <memory>
#include <set>
#include <sys/stat.h>
#include <unistd.h>

#include <nettle/sha2.h>
#include <nlohmann/json.hpp>
#include <sqlite3.h>

#include "common/ErrorLog.h"
#include "common/Format.h"
#include "common/LocalTime.h"
#include "common/SafeFile.h"
#include "common/errorExc.h"
#include "events/GL_records.h"
#include "events/SL_records2.h"
#include "image/HeaderView.h"
#include "image/WritableView.h"
#include "views/ProtocolDocument.h"
#include "views/RecorderSession.h"
#include "views/ResourceFigures.h"

namespace {

constexpr char IndexName[] = "index.sqlite";
constexpr int BusyMilliseconds = 60000;

// The times of the events the periods count, in time order.
struct EventTimes {
    std::vector<int32_t> overloads, failures, powerOns;
};

// A reading with what its periods need and its file relative to the folder.
struct Stored {
    Reading reading;
    EventTimes times;
    std::string file;
};

std::string hex(const uint8_t* bytes, size_t n) {
    static const char digits[] = "0123456789abcdef";
    std::string s;
    for (size_t i = 0; i < n; ++i) {
        s += digits[bytes[i] >> 4];
        s += digits[bytes[i] & 15];
    }
    return s;
}

std::string sha256Of(const uint8_t* data, size_t size) {
    sha256_ctx ctx;
    sha256_init(&ctx);
    sha256_update(&ctx, size, data);
    uint8_t digest[SHA256_DIGEST_SIZE];
    sha256_digest(&ctx, sizeof digest, digest);
    return hex(digest, sizeof digest);
}

// The recorder's folder: its serial number with what a file name cannot
// hold, or should not start with, replaced by "_".
std::string folderNameOf(const std::string& serial) {
    std::string s = serial;
    for (char& c : s)
        if (c == '/' || c == '\\' || (unsigned char)c < 0x20 || c == ' ') c = '_';
    if (!s.empty() && s[0] == '.') s[0] = '_';
    return s;
}

bool endsWith(const std::string& s, const std::string& tail) {
    return s.size() >= tail.size() && s.compare(s.size() - tail.size(), tail.size(), tail) == 0;
}

bool isFile(const std::string& path) {
    struct stat st {};
    return ::lstat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

void makeFolder(const std::string& path) {
    if (::mkdir(path.c_str(), 0777) != 0 && errno != EEXIST)
        throw errorExc::withPath("не могу создать папку архива!", path, errno);
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0 || !S_ISDIR(st.st_mode))
        throw errorExc::withReason("не могу создать папку архива!", path, "это не папка");
}

void makeFolders(const std::string& path) {
    for (size_t at = path.find('/', 1); at != std::string::npos; at = path.find('/', at + 1))
        if (::mkdir(path.substr(0, at).c_str(), 0777) != 0 && errno != EEXIST)
            throw errorExc::withPath("не могу создать папку архива!", path.substr(0, at), errno);
    makeFolder(path);
}

std::vector<std::string> entriesOf(const std::string& folder) {
    std::vector<std::string> names;
    if (DIR* d = ::opendir(folder.c_str())) {
        while (const dirent* e = ::readdir(d))
            if (std::strcmp(e->d_name, ".") != 0 && std::strcmp(e->d_name, "..") != 0)
                names.push_back(e->d_name);
        ::closedir(d);
    }
    std::sort(names.begin(), names.end());
    return names;
}

// What an interrupted write of the safe writer leaves beside an image or a
// notes file in folder: the backup ".NAME.gruvik2-old" of a rewrite in place,
// or a named temporary whose writer is gone (where the file system takes no
// unnamed one).
bool isLeftover(const std::string& folder, const std::string& name) {
    if (name.size() < 2 || name[0] != '.') return false;
    return endsWith(name, ".gruvik2-old") || isAbandonedTemporary(folder, name);
}

std::vector<int32_t> sorted(std::vector<int32_t> v) {
    std::sort(v.begin(), v.end());
    return v;
}

// The image in session analysed into a reading; throws with the archive's
// texts when the image cannot be one.
Stored readingOf(RecorderSession& session, const std::string& path) {
    if (session.analyse(nullptr) != AnalysisResult::done)
        throw errorExc::withReason("образ не подшит в архив!", path, "анализ не принял образ");
    const std::optional<ProtocolPeriod> period = protocolPeriodOf(session.events);
    if (!period)
        throw errorExc::withReason("образ не подшит в архив!", path, "в образе нет событий");
    const RecorderImage& image = session.image;
    HeaderView header(image);
    PassportView passport(image);
    Stored s;
    Reading& r = s.reading;
    r.serial = header.serialNumber;
    if (folderNameOf(r.serial).empty())
        throw errorExc::withReason("образ не подшит в архив!", path,
                                   "в образе нет серийного номера регистратора");
    r.sha256 = sha256Of(image.data(), RecorderImage::ImageSize);
    r.firstEventSeconds = session.events.front()->seconds;
    r.lastEventSeconds = period->lastEventSeconds;
    r.firmware = header.firmwareVersion;
    r.commissioningDate = passport.commissioning();
    r.installationDate = passport.installation();
    r.serviceLifeYears = *passport.serviceLife;
    r.passportGroup = *passport.passportGroup;
    const ProtocolFigures f = computeProtocol(image, *period);
    const ResourceFigures rf = computeResource(image, f, *period);
    r.serviceLifeEnd = rf.serviceLifeEnd;
    r.countersWritten = f.countersWritten;
    for (size_t i = 0; i < f.columns.size(); ++i) {
        const ProtocolColumn& c = f.columns[i];
        ReadingColumn col;
        col.cyclesTotal = c.total;
        col.cyclesOverload = c.overloadCycles;
        std::copy(c.modeCycles, c.modeCycles + 4, col.cyclesMode);
        col.spectrumSum = c.spectrumSum;
        col.liftedKg = c.liftedKg;
        col.kr = c.kr;
        col.loadingMode = c.q;
        col.usedToDatePercent = rf.columns[i].usedToDatePercent;
        col.exhaustionDate = rf.columns[i].exhaustionDate;
        r.columns.push_back(col);
    }
    r.operatingSeconds = f.operatingSeconds;
    for (size_t j = 0; j < f.operatingSeconds.size(); ++j)
        r.mechanismNames.push_back(passport.mechanismName(unsigned(j)));
    for (const genericParser* e = session.events.front(); e; e = eventList::after(e)) {
        if (eventAs<SL_olStart>(e)) s.times.overloads.push_back(e->seconds);
        if (eventAs<GL_sensFail>(e)) s.times.failures.push_back(e->seconds);
        if (eventAs<GL_powerOn>(e)) s.times.powerOns.push_back(e->seconds);
    }
    s.times.overloads = sorted(std::move(s.times.overloads));
    s.times.failures = sorted(std::move(s.times.failures));
    s.times.powerOns = sorted(std::move(s.times.powerOns));
    r.overloadStarts = uint32_t(s.times.overloads.size());
    r.sensorFailures = uint32_t(s.times.failures.size());
    r.powerOns = uint32_t(s.times.powerOns.size());
    return s;
}

// What the index keeps of a reading beside its key columns.
std::string figuresJson(const Reading& r) {
    nlohmann::json j;
    j["firmware"] = r.firmware;
    j["commissioning"] = r.commissioningDate;
    j["installation"] = r.installationDate;
    j["life"] = r.serviceLifeYears;
    j["group"] = r.passportGroup;
    j["lifeEnd"] = r.serviceLifeEnd;
    j["written"] = r.countersWritten;
    nlohmann::json cols = nlohmann::json::array();
    for (const ReadingColumn& c : r.columns) {
        // A quotient of erased bytes is no number JSON can hold.
        auto finite = [](double v) { return std::isfinite(v) ? v : 0.0; };
        cols.push_back({c.cyclesTotal, c.cyclesOverload, c.cyclesMode[0], c.cyclesMode[1],
                        c.cyclesMode[2], c.cyclesMode[3], finite(c.spectrumSum), finite(c.liftedKg),
                        finite(c.kr), c.loadingMode, finite(c.usedToDatePercent),
                        c.exhaustionDate});
    }
    j["columns"] = cols;
    j["operating"] = r.operatingSeconds;
    j["names"] = r.mechanismNames;
    j["events"] = {r.overloadStarts, r.sensorFailures, r.powerOns};
    return j.dump(-1, '?', false, nlohmann::json::error_handler_t::replace);
}

void readFiguresJson(const std::string& text, Reading& r) {
    const nlohmann::json j = nlohmann::json::parse(text);
    r.firmware = j.at("firmware").get<std::string>();
    r.commissioningDate = j.at("commissioning").get<int32_t>();
    r.installationDate = j.at("installation").get<int32_t>();
    r.serviceLifeYears = j.at("life").get<int>();
    r.passportGroup = j.at("group").get<int>();
    r.serviceLifeEnd = j.at("lifeEnd").get<std::string>();
    r.countersWritten = j.at("written").get<bool>();
    for (const auto& c : j.at("columns")) {
        ReadingColumn col;
        col.cyclesTotal = c[0].get<uint32_t>();
        col.cyclesOverload = c[1].get<uint32_t>();
        for (int m = 0; m < 4; ++m)
            col.cyclesMode[m] = c[2 + m].get<uint32_t>();
        col.spectrumSum = c[6].get<double>();
        col.liftedKg = c[7].get<double>();
        col.kr = c[8].get<double>();
        col.loadingMode = c[9].get<unsigned>();
        col.usedToDatePercent = c[10].get<double>();
        col.exhaustionDate = c[11].get<std::string>();
        r.columns.push_back(std::move(col));
    }
    r.operatingSeconds = j.at("operating").get<std::vector<uint32_t>>();
    r.mechanismNames = j.at("names").get<std::vector<std::string>>();
    const auto& e = j.at("events");
    r.overloadStarts = e[0].get<uint32_t>();
    r.sensorFailures = e[1].get<uint32_t>();
    r.powerOns = e[2].get<uint32_t>();
}

// The three lists of times one after the other, each after its length.
std::string timesBlob(const EventTimes& t) {
    std::string b;
    for (const auto* v : {&t.overloads, &t.failures, &t.powerOns}) {
        const int32_t n = int32_t(v->size());
        b.append(reinterpret_cast<const char*>(&n), 4);
        if (!v->empty()) b.append(reinterpret_cast<const char*>(v->data()), v->size() * 4);
    }
    return b;
}

EventTimes timesOf(const void* blob, size_t size) {
    EventTimes t;
    const char* p = static_cast<const char*>(blob);
    const char* end = p + size;
    for (auto* v : {&t.overloads, &t.failures, &t.powerOns}) {
        int32_t n = 0;
        if (end - p < 4) break;
        std::memcpy(&n, p, 4);
        p += 4;
        if (n < 0 || (end - p) / 4 < n) break;
        v->resize(size_t(n));
        if (n > 0) std::memcpy(v->data(), p, size_t(n) * 4);
        p += size_t(n) * 4;
    }
    return t;
}

uint32_t countBetween(const std::vector<int32_t>& times, int32_t after, int32_t upTo) {
    return uint32_t(std::upper_bound(times.begin(), times.end(), upTo) -
                    std::upper_bound(times.begin(), times.end(), after));
}

Period periodBetween(const Reading& a, const Stored& later) {
    const Reading& b = later.reading;
    Period p;
    p.overloadStarts = countBetween(later.times.overloads, a.lastEventSeconds, b.lastEventSeconds);
    p.sensorFailures = countBetween(later.times.failures, a.lastEventSeconds, b.lastEventSeconds);
    p.powerOns = countBetween(later.times.powerOns, a.lastEventSeconds, b.lastEventSeconds);
    p.eventsComplete = b.firstEventSeconds <= a.lastEventSeconds;
    if (!a.countersWritten || !b.countersWritten) {
        p.state = Period::State::noData;
        return p;
    }
    // Another layout of counters is another recorder's, or a reset one's.
    bool reset = a.columns.size() != b.columns.size() ||
                 a.operatingSeconds.size() != b.operatingSeconds.size();
    for (size_t i = 0; !reset && i < a.columns.size(); ++i) {
        const ReadingColumn &x = a.columns[i], &y = b.columns[i];
        reset = y.cyclesTotal < x.cyclesTotal || y.cyclesOverload < x.cyclesOverload ||
                y.spectrumSum < x.spectrumSum || y.liftedKg < x.liftedKg;
        for (int m = 0; m < 4; ++m)
            reset = reset || y.cyclesMode[m] < x.cyclesMode[m];
    }
    for (size_t j = 0; !reset && j < a.operatingSeconds.size(); ++j)
        reset = b.operatingSeconds[j] < a.operatingSeconds[j];
    if (reset) {
        p.state = Period::State::countersReset;
        return p;
    }
    p.state = Period::State::known;
    for (size_t i = 0; i < a.columns.size(); ++i) {
        const ReadingColumn &x = a.columns[i], &y = b.columns[i];
        PeriodColumn c;
        c.cyclesTotal = y.cyclesTotal - x.cyclesTotal;
        c.cyclesOverload = y.cyclesOverload - x.cyclesOverload;
        for (int m = 0; m < 4; ++m)
            c.cyclesMode[m] = y.cyclesMode[m] - x.cyclesMode[m];
        if (c.cyclesTotal != 0) c.kr = (y.spectrumSum - x.spectrumSum) / double(c.cyclesTotal);
        c.liftedKg = y.liftedKg - x.liftedKg;
        p.columns.push_back(c);
    }
    for (size_t j = 0; j < a.operatingSeconds.size(); ++j)
        p.operatingSeconds.push_back(b.operatingSeconds[j] - a.operatingSeconds[j]);
    return p;
}

std::string isoDateOf(const struct tm& t) {
    return strprintf("%04d-%02d-%02d", t.tm_year + 1900, t.tm_mon + 1, t.tm_mday);
}

// A prepared statement that finalises itself.
class Statement {
public:
    Statement(sqlite3* db, const char* sql, const std::string& indexPath) : path_(indexPath) {
        if (sqlite3_prepare_v2(db, sql, -1, &s_, nullptr) != SQLITE_OK) fail(db);
    }
    ~Statement() { sqlite3_finalize(s_); }
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;
    Statement& text(int i, const std::string& v) {
        sqlite3_bind_text(s_, i, v.data(), int(v.size()), SQLITE_TRANSIENT);
        return *this;
    }
    Statement& integer(int i, int64_t v) {
        sqlite3_bind_int64(s_, i, v);
        return *this;
    }
    Statement& blob(int i, const std::string& v) {
        sqlite3_bind_blob(s_, i, v.data(), int(v.size()), SQLITE_TRANSIENT);
        return *this;
    }
    // True while a row comes.
    bool step() {
        const int rc = sqlite3_step(s_);
        if (rc == SQLITE_ROW) return true;
        if (rc != SQLITE_DONE) fail(sqlite3_db_handle(s_));
        return false;
    }
    std::string columnText(int i) const {
        const auto* p = reinterpret_cast<const char*>(sqlite3_column_text(s_, i));
        return p ? std::string(p, size_t(sqlite3_column_bytes(s_, i))) : std::string();
    }
    int64_t columnInt(int i) const { return sqlite3_column_int64(s_, i); }
    EventTimes columnTimes(int i) const {
        return timesOf(sqlite3_column_blob(s_, i), size_t(sqlite3_column_bytes(s_, i)));
    }

private:
    [[noreturn]] void fail(sqlite3* db) {
        throw errorExc::withReason("ошибка индекса архива!", path_, sqlite3_errmsg(db));
    }
    sqlite3_stmt* s_ = nullptr;
    std::string path_;
};

constexpr char StoredColumns[] = "file, sha256, serial, first_event, last_event, figures, events";

} // namespace

struct Archive::Impl {
    std::string folder;
    std::string indexPath;
    sqlite3* db = nullptr;

    void exec(const char* sql) {
        char* message = nullptr;
        if (sqlite3_exec(db, sql, nullptr, nullptr, &message) != SQLITE_OK) {
            const std::string reason = message ? message : sqlite3_errmsg(db);
            sqlite3_free(message);
            throw errorExc::withReason("ошибка индекса архива!", indexPath, reason);
        }
    }

    void open() {
        if (sqlite3_open_v2(indexPath.c_str(), &db,
                            SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_NOMUTEX,
                            nullptr) != SQLITE_OK) {
            const std::string reason = db ? sqlite3_errmsg(db) : "нет памяти";
            close();
            throw errorExc::withReason("не могу открыть индекс архива!", indexPath, reason);
        }
        sqlite3_busy_timeout(db, BusyMilliseconds);
        // Write-ahead: readers never wait for a writer; every commit reaches the disk.
        exec("PRAGMA journal_mode=WAL");
        exec("PRAGMA synchronous=FULL");
        exec("CREATE TABLE IF NOT EXISTS readings("
             " sha256 TEXT PRIMARY KEY, file TEXT NOT NULL UNIQUE, serial TEXT NOT NULL,"
             " first_event INTEGER NOT NULL, last_event INTEGER NOT NULL,"
             " figures TEXT NOT NULL, events BLOB NOT NULL);"
             "CREATE INDEX IF NOT EXISTS readings_by_serial ON readings(serial, last_event, file)");
    }

    void close() {
        if (db) sqlite3_close_v2(db);
        db = nullptr;
    }

    std::string absolute(const std::string& file) const { return folder + "/" + file; }

    Stored storedOf(const Statement& s) const {
        Stored st;
        st.file = s.columnText(0);
        Reading& r = st.reading;
        r.path = absolute(st.file);
        r.sha256 = s.columnText(1);
        r.serial = s.columnText(2);
        r.firstEventSeconds = int32_t(s.columnInt(3));
        r.lastEventSeconds = int32_t(s.columnInt(4));
        try {
            readFiguresJson(s.columnText(5), r);
        } catch (const std::exception& e) {
            throw errorExc::withReason("ошибка индекса архива!", indexPath,
                                       st.file + ": " + e.what());
        }
        st.times = s.columnTimes(6);
        return st;
    }

    std::vector<Stored> select(const std::string& where, const std::string& serial) const {
        const std::string sql = std::string("SELECT ") + StoredColumns + " FROM readings " + where +
                                " ORDER BY serial, last_event, file";
        Statement s(db, sql.c_str(), indexPath);
        if (!serial.empty()) s.text(1, serial);
        std::vector<Stored> rows;
        while (s.step())
            rows.push_back(storedOf(s));
        return rows;
    }

    std::optional<Stored> bySha(const std::string& sha) const {
        const std::string sql =
            std::string("SELECT ") + StoredColumns + " FROM readings WHERE sha256 = ?1";
        Statement s(db, sql.c_str(), indexPath);
        s.text(1, sha);
        if (!s.step()) return std::nullopt;
        return storedOf(s);
    }

    bool fileIndexed(const std::string& file) const {
        Statement s(db, "SELECT 1 FROM readings WHERE file = ?1", indexPath);
        s.text(1, file);
        return s.step();
    }

    void insert(const Stored& st) {
        Statement s(db,
                    "INSERT INTO readings(sha256, file, serial, first_event, last_event, figures,"
                    " events) VALUES(?1, ?2, ?3, ?4, ?5, ?6, ?7)",
                    indexPath);
        const Reading& r = st.reading;
        s.text(1, r.sha256)
            .text(2, st.file)
            .text(3, r.serial)
            .integer(4, r.firstEventSeconds)
            .integer(5, r.lastEventSeconds)
            .text(6, figuresJson(r))
            .blob(7, timesBlob(st.times));
        s.step();
    }

    void remove(const std::string& file) {
        Statement s(db, "DELETE FROM readings WHERE file = ?1", indexPath);
        s.text(1, file);
        s.step();
    }

    // The image files of the archive, "SERIAL/NAME.rpd", and the leftovers of
    // interrupted writes, in order.
    void walk(std::vector<std::string>& images, std::vector<std::string>& leftovers) const {
        for (const std::string& sub : entriesOf(folder)) {
            struct stat st {};
            if (sub[0] == '.' || ::lstat(absolute(sub).c_str(), &st) != 0 || !S_ISDIR(st.st_mode))
                continue;
            for (const std::string& name : entriesOf(absolute(sub))) {
                const std::string file = sub + "/" + name;
                if (isLeftover(absolute(sub), name))
                    leftovers.push_back(file);
                else if (name[0] != '.' && endsWith(name, ".rpd") && isFile(absolute(file)))
                    images.push_back(file);
            }
        }
    }

    // BEGIN IMMEDIATE: the one writer of the index until commit or the end of scope.
    class Transaction {
    public:
        explicit Transaction(Impl& impl) : impl_(impl) { impl_.exec("BEGIN IMMEDIATE"); }
        ~Transaction() {
            if (!done_) sqlite3_exec(impl_.db, "ROLLBACK", nullptr, nullptr, nullptr);
        }
        void commit() {
            impl_.exec("COMMIT");
            done_ = true;
        }

    private:
        Impl& impl_;
        bool done_ = false;
    };

    // Loads and analyses the archive's file (or any image at path).
    Stored analyse(const std::string& path) const {
        RecorderSession session;
        session.load(path);
        return readingOf(session, path);
    }
};

std::string Archive::defaultFolder() {
    auto env = [](const char* name) {
        const char* v = std::getenv(name);
        return std::string(v ? v : "");
    };
    if (!env("GRUVIK2_ARCHIVE").empty()) return env("GRUVIK2_ARCHIVE");
    const std::string data = env("XDG_DATA_HOME");
    // The base directory rules ignore a relative XDG_DATA_HOME.
    if (!data.empty() && data[0] == '/') return data + "/gruvik2/archive";
    return env("HOME") + "/.local/share/gruvik2/archive";
}

Archive::Archive(std::string folder) : impl_(new Impl) {
    std::unique_ptr<Impl> impl(impl_);
    if (folder.empty()) folder = ".";
    if (folder[0] != '/') {
        char cwd[PATH_MAX];
        if (!::getcwd(cwd, sizeof cwd))
            throw errorExc::withPath("не могу создать папку архива!", folder, errno);
        folder = std::string(cwd) + "/" + folder;
    }
    while (folder.size() > 1 && folder.back() == '/')
        folder.pop_back();
    makeFolders(folder);
    impl->folder = folder;
    impl->indexPath = folder + "/" + IndexName;
    impl->open();
    impl.release();
}

Archive::~Archive() {
    impl_->close();
    delete impl_;
}

const std::string& Archive::folder() const {
    return impl_->folder;
}

Archive::Added Archive::add(const std::string& imagePath) {
    RecorderSession session;
    session.load(imagePath);
    Stored st = readingOf(session, imagePath);
    Impl::Transaction tx(*impl_);
    if (std::optional<Stored> filed = impl_->bySha(st.reading.sha256)) {
        Added a{filed->reading.path, true, filed->reading};
        return a;
    }
    const std::string sub = folderNameOf(st.reading.serial);
    std::string moment = localTimeText(st.reading.lastEventSeconds, "%Y-%m-%d_%H%M%S");
    // A time without a local form still names a file, never a hidden one.
    if (moment.empty()) moment = strprintf("t%ld", long(st.reading.lastEventSeconds));
    const std::string base = sub + "/" + moment;
    // Another image of the same moment (its passport changed, say) gets a number.
    bool present = false;
    for (int k = 1;; ++k) {
        st.file = k == 1 ? base + ".rpd" : base + strprintf("_%d.rpd", k);
        if (impl_->fileIndexed(st.file)) continue;
        const std::string path = impl_->absolute(st.file);
        if (!isFile(path)) break;
        // A copy an interrupted addition left unindexed is taken as it is.
        RecorderImage there;
        try {
            there.load(path, false);
        } catch (const errorExc&) {
            continue;
        }
        if (sha256Of(there.data(), RecorderImage::ImageSize) == st.reading.sha256) {
            present = true;
            break;
        }
    }
    st.reading.path = impl_->absolute(st.file);
    if (!present) {
        makeFolder(impl_->absolute(sub));
        writeFileSafely(st.reading.path, session.image.data(), RecorderImage::ImageSize);
    }
    impl_->insert(st);
    tx.commit();
    return Added{st.reading.path, false, st.reading};
}

std::vector<Reading> Archive::list(const std::string& serial) const {
    std::vector<Reading> out;
    for (Stored& s : impl_->select(serial.empty() ? "" : "WHERE serial = ?1", serial))
        out.push_back(std::move(s.reading));
    return out;
}

std::vector<HistoryRow> Archive::history(const std::string& serial) const {
    std::vector<HistoryRow> rows;
    if (serial.empty()) return rows;
    const std::vector<Stored> stored = impl_->select("WHERE serial = ?1", serial);
    for (size_t i = 0; i < stored.size(); ++i) {
        HistoryRow row{stored[i].reading, {}};
        if (i > 0) row.period = periodBetween(stored[i - 1].reading, stored[i]);
        rows.push_back(std::move(row));
    }
    return rows;
}

std::vector<FleetRow> Archive::fleet(int64_t now) const {
    // The latest two readings of each recorder and how many it has.
    // The ranks come from the index on (serial, last_event, file) alone; only
    // the rows they keep are read whole.
    const std::string sql =
        std::string("SELECT ") + StoredColumns +
        ", k.n FROM readings JOIN (SELECT rowid AS id, row_number() OVER (PARTITION BY serial "
        "ORDER BY last_event DESC, file DESC) AS latest, count(*) OVER (PARTITION BY serial) AS n "
        "FROM readings INDEXED BY readings_by_serial) AS k ON readings.rowid = k.id "
        "WHERE k.latest <= 2 ORDER BY serial, last_event, file";
    Statement s(impl_->db, sql.c_str(), impl_->indexPath);
    std::vector<FleetRow> rows;
    std::optional<Stored> previous;
    struct tm t {};
    localTimeOfWide(now, t);
    t.tm_year += 1;
    const std::string inAYear = isoDateOf(t);
    t.tm_year -= 2;
    const std::string aYearAgo = isoDateOf(t);
    auto finish = [&](const Stored& latest, const std::optional<Stored>& before, size_t n) {
        FleetRow row;
        row.latest = latest.reading;
        row.readings = n;
        if (before) row.lastPeriod = periodBetween(before->reading, latest);
        const Reading& r = row.latest;
        if (r.countersWritten) {
            double most = 0;
            for (const auto& c : r.columns)
                most = std::max(most, c.usedToDatePercent);
            if (most * 3 >= 200) {
                row.usedTwoThirds = true;
                row.flagTexts.push_back(strprintf("использовано %s%% ресурса (не меньше 2/3)",
                                                  usedToDateText(most).c_str()));
            }
        }
        if (!r.serviceLifeEnd.empty() && r.serviceLifeEnd <= inAYear) {
            row.lifeEndSoon = true;
            row.flagTexts.push_back("срок службы крана кончается " + r.serviceLifeEnd);
        }
        std::string soonest;
        for (const auto& c : r.columns)
            if (!c.exhaustionDate.empty() && (soonest.empty() || c.exhaustionDate < soonest))
                soonest = c.exhaustionDate;
        if (!soonest.empty() && soonest <= inAYear) {
            row.exhaustionSoon = true;
            row.flagTexts.push_back("ресурс исчерпывается " + soonest);
        }
        const bool since = row.lastPeriod.state != Period::State::first;
        if (since && row.lastPeriod.overloadStarts > 0) {
            row.newOverloads = true;
            row.flagTexts.push_back(strprintf("перегрузок с прошлого считывания: %u",
                                              unsigned(row.lastPeriod.overloadStarts)));
        }
        if (since && row.lastPeriod.sensorFailures > 0) {
            row.newSensorFailures = true;
            row.flagTexts.push_back(strprintf("отказов датчиков с прошлого считывания: %u",
                                              unsigned(row.lastPeriod.sensorFailures)));
        }
        struct tm last {};
        if (localTimeOfWide(r.lastEventSeconds, last) && isoDateOf(last) < aYearAgo) {
            row.stale = true;
            row.flagTexts.push_back("нет считываний больше 12 месяцев");
        }
        rows.push_back(std::move(row));
    };
    std::optional<Stored> pending;
    size_t pendingCount = 0;
    while (s.step()) {
        Stored st = impl_->storedOf(s);
        const size_t n = size_t(s.columnInt(7));
        if (pending && pending->reading.serial == st.reading.serial) {
            previous = std::move(pending);
        } else {
            if (pending) finish(*pending, previous, pendingCount);
            previous.reset();
        }
        pending = std::move(st);
        pendingCount = n;
    }
    if (pending) finish(*pending, previous, pendingCount);
    return rows;
}

ArchiveCheck Archive::check(bool repair) {
    ArchiveCheck result;
    auto problem = [&](const std::string& text, bool fixed) {
        result.consistent = false;
        result.problems.push_back(text + (fixed ? " — исправлено" : ""));
        if (!fixed) ++result.unrepaired;
    };
    {
        Statement s(impl_->db, "PRAGMA quick_check", impl_->indexPath);
        std::string verdict = s.step() ? s.columnText(0) : "";
        if (verdict != "ok") {
            if (repair) rebuild();
            problem("индекс архива повреждён (" + verdict + ")", repair);
            return result;
        }
    }
    Impl::Transaction tx(*impl_);
    std::vector<std::string> images, leftovers;
    impl_->walk(images, leftovers);
    for (const std::string& file : leftovers) {
        const std::string path = impl_->absolute(file);
        if (repair && endsWith(file, ".gruvik2-old")) {
            // Reading the file puts its old content back from the backup.
            const size_t slash = file.find('/');
            const std::string name = file.substr(slash + 2, file.size() - slash - 2 - 12);
            char byte;
            try {
                readRegularFile(impl_->absolute(file.substr(0, slash + 1) + name), &byte, 1);
            } catch (const errorExc&) {
            }
        }
        const bool removed = repair && (::unlink(path.c_str()) == 0 || errno == ENOENT);
        problem("остаток прерванной записи: " + file, removed);
    }
    std::map<std::string, std::string> indexed; // file -> sha256
    {
        Statement s(impl_->db, "SELECT file, sha256 FROM readings", impl_->indexPath);
        while (s.step())
            indexed[s.columnText(0)] = s.columnText(1);
    }
    const std::set<std::string> present(images.begin(), images.end());
    for (const auto& [file, sha] : indexed)
        if (!present.count(file)) {
            if (repair) impl_->remove(file);
            problem("в индексе есть, а файла нет: " + file, repair);
        }
    for (const std::string& file : images) {
        const std::string path = impl_->absolute(file);
        const auto it = indexed.find(file);
        if (it != indexed.end()) {
            RecorderImage image;
            std::string sha;
            try {
                image.load(path, false);
                sha = sha256Of(image.data(), RecorderImage::ImageSize);
            } catch (const errorExc& e) {
                problem("не читается: " + file + " (" + e.fullMessage() + ")", false);
                continue;
            }
            if (sha == it->second) continue;
            bool fixed = false;
            if (repair) {
                try {
                    Stored st = impl_->analyse(path);
                    st.file = file;
                    st.reading.path = path;
                    impl_->remove(file);
                    impl_->insert(st);
                    fixed = true;
                } catch (const errorExc&) {
                }
            }
            problem("файл изменён после подшивки: " + file, fixed);
            continue;
        }
        bool fixed = false;
        std::string why;
        try {
            Stored st = impl_->analyse(path);
            if (std::optional<Stored> other = impl_->bySha(st.reading.sha256)) {
                why = " (тот же образ, что " + other->file + ")";
            } else if (repair) {
                st.file = file;
                st.reading.path = path;
                impl_->insert(st);
                fixed = true;
            }
        } catch (const errorExc& e) {
            why = " (" + e.fullMessage() + ")";
        }
        problem("файл не в индексе: " + file + why, fixed);
    }
    tx.commit();
    return result;
}

void Archive::rebuild() {
    {
        // An index the library cannot read any more is made anew.
        Statement s(impl_->db, "PRAGMA quick_check", impl_->indexPath);
        if (!s.step() || s.columnText(0) != "ok") {
            impl_->close();
            for (const char* tail : {"", "-wal", "-shm"})
                ::unlink((impl_->indexPath + tail).c_str());
            impl_->open();
        }
    }
    Impl::Transaction tx(*impl_);
    impl_->exec("DELETE FROM readings");
    std::vector<std::string> images, leftovers;
    impl_->walk(images, leftovers);
    std::set<std::string> shas;
    for (const std::string& file : images) {
        const std::string path = impl_->absolute(file);
        try {
            Stored st = impl_->analyse(path);
            if (!shas.insert(st.reading.sha256).second) {
                logError("в архиве два одинаковых образа, второй не в индексе: " + file);
                continue;
            }
            st.file = file;
            st.reading.path = path;
            impl_->insert(st);
        } catch (const errorExc& e) {
            logError(e.fullMessage());
        }
    }
    tx.commit();
}

namespace {
std::string notesPath(const Reading& reading) {
    std::string p = reading.path;
    if (endsWith(p, ".rpd")) p.resize(p.size() - 4);
    return p + ".txt";
}
} // namespace

std::string Archive::notes(const Reading& reading) const {
    const std::string path = notesPath(reading);
    // Read whole, however long: notes that come back short would be saved short.
    for (size_t size = 4096;; size *= 4) {
        std::string text(size, '\0');
        const std::optional<size_t> n = readRegularFile(path, text.data(), text.size());
        if (!n) return {};
        if (*n < size) {
            text.resize(*n);
            return text;
        }
    }
}

void Archive::setNotes(const Reading& reading, const std::string& text) {
    const std::string path = notesPath(reading);
    // Under the index's write lock, so that a check never takes the write's
    // temporary for a leftover.
    Impl::Transaction tx(*impl_);
    if (text.empty()) {
        if (::unlink(path.c_str()) != 0 && errno != ENOENT)
            throw errorExc::withPath(CannotWriteFile, path, errno);
        return;
    }
    writeFileSafely(path, text.data(), text.size());
    tx.commit();
}

void Archive::indexOnly(const std::vector<Reading>& readings) {
    Impl::Transaction tx(*impl_);
    for (const Reading& r : readings) {
        Stored st;
        st.reading = r;
        st.file = folderNameOf(r.serial) + "/" + r.sha256 + ".rpd";
        impl_->insert(st);
    }
    tx.commit();
}

std::string imageFileSha256(const std::string& path) {
    std::vector<uint8_t> bytes(RecorderImage::ImageSize + 1);
    try {
        const std::optional<size_t> size = readRegularFile(path, bytes.data(), bytes.size());
        if (!size || *size > RecorderImage::ImageSize) return {};
        return sha256Of(bytes.data(), *size);
    } catch (const errorExc&) {
        return {};
    }
}
