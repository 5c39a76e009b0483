#pragma once
// The archive of readings: copies of recorder images filed per recorder as
// SERIAL/YYYY-MM-DD_HHMMSS.rpd (the local time of the image's last event),
// never moved or altered once filed, and an SQLite index beside them holding
// each reading's figures, so that lists, histories and the fleet view never
// analyse an image again. The image files are the truth: the index can be
// made again from them alone (rebuild); an engineer's notes on a reading live
// in a text file beside its image (SERIAL/YYYY-MM-DD_HHMMSS.txt), so a
// rebuild keeps them.
//
// Each change of the index is one transaction; several processes (the window
// and the command line) may add at the same time. A kill at any moment leaves
// an archive that check() finds consistent or repairs.
//
// Failures are errorExc (common/errorExc.h) with a text saying what failed and
// a detail "path: reason".
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// One column of a reading's cycle table: a load group, or the crane as a
// whole (always the last column). The counters as the recorder keeps them.
struct ReadingColumn {
    uint32_t cyclesTotal = 0;    // the four modes and overload
    uint32_t cyclesOverload = 0; // A6
    uint32_t cyclesMode[4] = {}; // A2..A5: Q1..Q4
    double spectrumSum = 0;      // A0
    double liftedKg = 0;         // A1
    double kr = 0;               // A0 / total, 0 without cycles
    unsigned loadingMode = 1;    // Q, 1..4
    // total × 100 / bound(u), u = passport group − Q + 2 limited to 0..8;
    // 0 without cycles; not limited to 100.
    double usedToDatePercent = 0;
    // installation date + T × bound(u) / total as a local date "YYYY-MM-DD";
    // empty without cycles, when T is not positive or the counters are erased.
    std::string exhaustionDate;
};

// One filed image.
struct Reading {
    std::string serial; // the recorder's serial number (4 characters)
    std::string path;   // the archived image, absolute
    std::string sha256; // of the image file's bytes, lowercase hex
    int32_t firstEventSeconds = 0;
    int32_t lastEventSeconds = 0; // the reading's date
    std::string firmware;
    int32_t commissioningDate = 0;
    int32_t installationDate = 0;
    int serviceLifeYears = 0;
    int passportGroup = 0;
    std::string serviceLifeEnd; // commissioning date + service life, "YYYY-MM-DD"
    // False when the counters region holds no written page: the columns and
    // operating times are then no figures («нет данных»).
    bool countersWritten = false;
    std::vector<ReadingColumn> columns;      // the groups, then the crane
    std::vector<uint32_t> operatingSeconds;  // one per mechanism
    std::vector<std::string> mechanismNames; // UTF-8
    // Events of the image (all of them) by kind, for the period figures.
    uint32_t overloadStarts = 0, sensorFailures = 0, powerOns = 0;
};

// One column of the figures between two consecutive readings of a recorder.
struct PeriodColumn {
    uint32_t cyclesTotal = 0, cyclesOverload = 0, cyclesMode[4] = {};
    std::optional<double> kr; // difference of A0 / difference of total; none without cycles
    double liftedKg = 0;
};

// What happened between a reading and the one before it.
struct Period {
    enum class State {
        first,         // the recorder's first reading in the archive
        known,         // the figures below hold
        countersReset, // a counter went down: reset, recorder replaced or erased: «нет данных»
        noData,        // either reading has erased counters: «нет данных»
    };
    State state = State::first;
    std::vector<PeriodColumn> columns;      // as the readings' columns
    std::vector<uint32_t> operatingSeconds; // per mechanism
    // Events with times after the earlier reading's last event, up to the
    // later one's, counted in the later image.
    uint32_t overloadStarts = 0, sensorFailures = 0, powerOns = 0;
    // False when the later image's log no longer reaches back to the earlier
    // reading (it turned over), so the event counts above may be short.
    bool eventsComplete = true;
};

struct HistoryRow {
    Reading reading;
    Period period; // against the row before it
};

// One recorder in the fleet view, from its latest reading.
struct FleetRow {
    Reading latest;
    Period lastPeriod; // the latest against the one before it
    size_t readings = 0;
    // The flags, each with its reason in flagTexts (Russian, in this order).
    bool usedTwoThirds = false;     // used share to date ≥ 2/3 (any column)
    bool lifeEndSoon = false;       // service-life end within 12 months (or past)
    bool exhaustionSoon = false;    // exhaustion date within 12 months (or past)
    bool newOverloads = false;      // overload starts since the previous reading
    bool newSensorFailures = false; // sensor failures since the previous reading
    bool stale = false;             // no reading for more than 12 months
    std::vector<std::string> flagTexts;
};

struct ArchiveCheck {
    bool consistent = true;
    std::vector<std::string> problems; // one line each, what was found (and done)
    size_t unrepaired = 0;             // problems left as they were
};

// The SHA-256 of the image file at path in lowercase hex, as filed readings
// carry it; empty when it cannot be read or is larger than an image.
std::string imageFileSha256(const std::string& path);

class Archive {
public:
    // The folder the archive lives in unless told otherwise: $GRUVIK2_ARCHIVE,
    // else $XDG_DATA_HOME/gruvik2/archive, else $HOME/.local/share/gruvik2/archive.
    static std::string defaultFolder();

    // Opens the archive in folder, creating the folder and the index when
    // they are not there yet.
    explicit Archive(std::string folder);
    ~Archive();
    Archive(const Archive&) = delete;
    Archive& operator=(const Archive&) = delete;

    const std::string& folder() const;

    struct Added {
        std::string path;          // where the image is filed
        bool alreadyFiled = false; // the same bytes were filed before, at path
        Reading reading;
    };
    // Files a copy of the image file at imagePath. Throws errorExc when the
    // image cannot be read, the analysis refuses it, it has no events or no
    // serial number, or the copy or the index cannot be written.
    Added add(const std::string& imagePath);

    // Readings in time order (serial, then last event), of one recorder when
    // serial is not empty.
    std::vector<Reading> list(const std::string& serial = {}) const;
    // One recorder's readings in time order, each with its period.
    std::vector<HistoryRow> history(const std::string& serial) const;
    // One row per recorder, by serial; now: the moment the 12-month flags are
    // measured from (seconds since the epoch).
    std::vector<FleetRow> fleet(int64_t now) const;

    // Compares the index with the files; with repair, files what is missing
    // from the index, drops entries whose file is gone, removes temporaries
    // of interrupted additions.
    ArchiveCheck check(bool repair);
    // Makes the index again from the image files alone (notes kept).
    void rebuild();

    // The engineer's notes on a filed reading (empty when none), and storing them.
    std::string notes(const Reading& reading) const;
    void setNotes(const Reading& reading, const std::string& text);

    // Index rows without image files, as if readings had been filed: for
    // benchmarks and tests that need a large index quickly. Each row's file is
    // SERIAL/SHA256.rpd (which check then finds missing); no event times.
    void indexOnly(const std::vector<Reading>& readings);

private:
    struct Impl;
    Impl* impl_;
};
