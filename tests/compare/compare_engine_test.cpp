// The grouping over files held in memory: worked cases, then the engine against
// plain anchor scans on generated files.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cstring>
#include <functional>
#include <memory>
#include <random>
#include <sstream>
#include <tuple>

#include "common/file_records.h"
#include "compare/compare_options.h"
#include "compare/reference_engine.h"

namespace tolvane::test {
namespace {

struct MemoryFile {
    std::string folder;  // ends with the separator
    std::string name;
    uint64_t listedSize;
    std::string content;  // shorter than listedSize for a file that shrank
    bool unopenable = false;
};

class MemorySource : public ContentSource {
public:
    explicit MemorySource(const std::vector<MemoryFile>& files) : files_(files) {}

    std::unique_ptr<ContentReader> Open(uint32_t record, const std::string&, uint32_t& errorCode) override
    {
        ++opens;
        if (files_[record].unopenable) {
            errorCode = 5;
            return nullptr;
        }
        mostOpen = std::max(mostOpen, ++openNow);
        return std::make_unique<Reader>(*this, files_[record].content, record);
    }

    int opens = 0, openNow = 0, mostOpen = 0;
    uint64_t bytesRead = 0;
    std::function<void(uint32_t)> onRead;  // called with the record before every read

private:
    struct Reader : ContentReader {
        Reader(MemorySource& s, const std::string& c, uint32_t r) : source(s), content(c), record(r) {}
        ~Reader() override { --source.openNow; }
        int64_t Read(void* buffer, size_t count) override
        {
            if (source.onRead) source.onRead(record);
            const size_t n = position >= content.size() ? 0 : std::min(count, content.size() - position);
            std::memcpy(buffer, content.data() + position, n);
            position += n;
            source.bytesRead += n;
            return static_cast<int64_t>(n);
        }
        bool Seek(uint64_t offset) override
        {
            position = static_cast<size_t>(offset);
            return true;
        }

        MemorySource& source;
        const std::string& content;
        const uint32_t record;
        size_t position = 0;
    };

    const std::vector<MemoryFile>& files_;
};

struct RecordingHost : CompareEngineHost {
    void PhaseEntered(ComparePhase phase) override { phases.push_back(phase); }
    void ReportProgress(const CompareProgress& report) override { reports.push_back(report); }
    void AddCompareErrorEntry(const std::string& path, uint32_t) override
    {
        errors.push_back(path);
        if (stopOnError) stopOnError->store(true);  // a Cancel, or the error log full
    }

    std::vector<ComparePhase> phases;
    std::vector<CompareProgress> reports;
    std::vector<std::string> errors;
    std::atomic<bool>* stopOnError = nullptr;
};

FileRecords MakeRecords(const std::vector<MemoryFile>& files)
{
    FileRecords records;
    for (const MemoryFile& file : files) {
        FindData entry;
        std::strncpy(entry.cFileName, file.name.c_str(), sizeof(entry.cFileName) - 1);
        entry.SetSize(file.listedSize);
        entry.dwFileAttributes = AttributeArchive;
        records.Add(file.folder, entry);
    }
    return records;
}

// A file in /m/ whose listed size is its content's.
MemoryFile Plain(std::string name, std::string content)
{
    const uint64_t size = content.size();
    return MemoryFile{"/m/", std::move(name), size, std::move(content)};
}

// The boxes named by words ("group" groups truncated copies, "zeros" counts empty files).
CompareOptions Checks(const std::string& words)
{
    const std::string padded = " " + words + " ";
    const auto has = [&](const char* word) { return padded.find(std::string(" ") + word + " ") != std::string::npos; };
    return {.combinedResult = has("combined"), .combinedOnly = has("only"), .matchContent = has("content"),
            .soTruncated = has("truncated"), .dontGroupTruncated = !has("group"), .matchName = has("name"),
            .ignoreCase = has("case"), .matchSize = has("size"), .ignoreZeroSize = !has("zeros")};
}

CompareOptions Boxes(const std::string& words) { return CountedOptions(Checks(words)); }

TEST(CompareOptionInterlocks, DependentBoxesAndTheBracketFollowTheirMatchOptions)
{
    // Enabled: so truncated, don't group, ignore case, ignore zero size,
    // combined, only; then the bracket's upper and lower line, content, name and size tick.
    const std::pair<const char*, const char*> rows[] = {
        {"", "000000 00000"}, {"truncated", "000000 00000"}, {"content", "100000 00000"},
        {"content truncated", "110000 00000"}, {"name", "001000 00000"}, {"size", "000100 00000"},
        {"content size combined", "100100 00000"},
        {"content name", "101010 10110"},  // "only" needs "Combined result" checked as well
        {"content name combined", "101011 10110"}, {"name size combined", "001111 11011"},
        {"content truncated name size combined", "111111 10110"},
    };
    for (const auto& [checked, states] : rows) {
        const CompareOptionStates s = CompareOptionInterlocks(Checks(checked));
        std::string drawn;
        for (bool on : {s.soTruncatedEnabled, s.dontGroupTruncatedEnabled, s.ignoreCaseEnabled, s.ignoreZeroSizeEnabled,
                        s.combinedResultEnabled, s.combinedOnlyEnabled})
            drawn += on ? '1' : '0';
        drawn += ' ';
        for (bool shown : s.bracketShown) drawn += shown ? '1' : '0';
        EXPECT_EQ(states, drawn) << checked;
    }
}

// The non-empty lists as "size 0 1 | 1 1; ...", then the truncated, zero size and error rows (by path).
std::string Summary(const CompareLists& l, std::vector<std::string> errors)
{
    std::ranges::sort(errors);
    std::ostringstream text;
    const auto rows = [&](const char* label, const std::vector<uint32_t>& values, const std::vector<uint32_t>* groups) {
        if (values.empty()) return;
        text << label;
        for (uint32_t v : values) text << ' ' << v;
        if (groups) text << " |";
        for (uint32_t g : groups ? *groups : std::vector<uint32_t>{}) text << ' ' << g;
        text << "; ";
    };
    rows("size", l.size.rows, &l.size.groups);
    rows("name", l.name.rows, &l.name.groups);
    rows("content", l.content.rows, &l.content.groups);
    rows("combined", l.combined.rows, &l.combined.groups);
    rows("truncated", l.truncatedRows, nullptr);
    rows("zero", l.zeroSizeRows, nullptr);
    for (const std::string& path : errors) text << "error " << path << "; ";
    return text.str();
}

// One run over files held in memory: the engine's, or the anchor scans'.
struct MemoryRun {
    explicit MemoryRun(std::vector<MemoryFile> given) : files(std::move(given)) {}

    std::string Run(const CompareOptions& options, bool reference = false)
    {
        if (reference) RunReferencePhases(MakeRecords(files), options, source, host, lists);
        else outcome = RunComparePhases(MakeRecords(files), options, source, host, stop, lists, limits);
        return Summary(lists, host.errors);
    }

    std::vector<MemoryFile> files;  // a test may change them during the run
    MemorySource source{files};
    RecordingHost host;
    std::atomic<bool> stop{false};
    CompareLists lists;
    ContentLimits limits;
    CompareOutcome outcome{};
};

TEST(CompareEngine, WorkedCases)
{
    const std::string q40(40, 'q'), withZero("abc\0", 4);
    std::vector<MemoryFile> threeUnopenable(4, Plain("a", "abc"));
    for (int f = 0; f < 3; ++f) threeUnopenable[f].unopenable = true;
    const std::vector<MemoryFile> pairs = {Plain("p", "abc"), Plain("p", "abc"), Plain("q", "hello"), Plain("q", "hello")},
        oneSet = {Plain("a", "ab"), Plain("b", "ab"),  Plain("c", q40),
                  Plain("d", q40),  Plain("e", std::string(40, 'z')), Plain("f", "ab")};
    const struct {
        const char* what;
        const std::vector<MemoryFile>& files;
        const char* boxes;
        const char* expected;
        uint32_t stopAt = UINT32_MAX;  // a stop is requested as this record is first read
        bool stopOnError = false;  // a stop is requested as a file is reported unopenable
    } rows[] = {
        // The missing byte is not taken from what a buffer held before, but
        // its bytes can still be the longer file a truncated copy begins.
        {"a file that shrank can be the longer file", {Plain("a", withZero), {"/m/", "b", 4, "abc"}, Plain("c", "ab")},
         "content truncated group", "content 0 2 | 1 1; truncated 2; "},
        {"a file that grew matches nothing", {Plain("a", "abc"), {"/m/", "b", 3, "abcd"}, Plain("c", "abc")}, "content",
         "content 0 2 | 1 1; "},
        {"letter case folds Latin letters only",
         {Plain("README.TXT", "1"), Plain("readme.txt", "22"), Plain("\xC9t\xE9", "3"), Plain("\xE9t\xE9", "4")},
         "name case", "name 0 1 | 1 1; "},
        // As a Cancel or the error log full: no row, nor "Too many errors!", per further unopenable file.
        {"stop on an unopenable file ends the phase there", threeUnopenable, "content", "error /m/a; ", UINT32_MAX, true},
        {"stop in content keeps earlier groups and runs later phases", pairs, "content name combined",
         "name 0 1 2 3 | 1 1 2 2; content 0 1 | 1 1; combined 0 1 | 1 1; ", 2},
        // With "So truncated" all are one set: a stop at the first piece of 4
        // keeps the groups compared to their end, none compared in part (2, 3).
        {"stop in one set", oneSet, "content truncated", "content 0 1 | 1 1; ", 4},
        // Without it the files of two bytes are a set of their own, read before the stop.
        {"stop after a set", oneSet, "content", "content 0 1 5 | 1 1 1; ", 4},
    };
    for (const auto& row : rows) {
        MemoryRun run(row.files);
        uint32_t stopAt = row.stopAt;
        run.source.onRead = [&](uint32_t record) {
            if (record != stopAt) return;
            run.stop.store(true);
            stopAt = UINT32_MAX;
        };
        run.host.stopOnError = row.stopOnError ? &run.stop : nullptr;
        run.limits = {.largestChunk = 8, .smallestChunk = 4};  // several pieces per file even for small ones
        EXPECT_EQ(row.expected, run.Run(Boxes(row.boxes))) << row.what;
        EXPECT_FALSE(run.stop.load()) << row.what << ": a stop request is cleared once acted on";
    }
}

// Four groups of ten in one set of small files, read in one piece per file.
TEST(CompareEngine, ReadsEachFileOnceAndKeepsFewFilesOpen)
{
    std::vector<MemoryFile> files;
    for (int i = 0; i < 40; ++i) files.push_back(Plain("f", std::string(5000, static_cast<char>('a' + i % 4))));
    MemoryRun run(files);
    run.limits.openFiles = 8;
    run.Run(Boxes("content"));
    EXPECT_TRUE(run.source.opens == 40 && run.source.mostOpen <= 9) << run.source.opens << " " << run.source.mostOpen;

    // Equal files read in many pieces: every byte once, and each end once.
    MemoryRun pieces(std::vector<MemoryFile>(3, Plain("f", std::string(40000, 'e'))));
    pieces.limits = {.largestChunk = 1000, .tailPiece = 100};
    EXPECT_EQ("content 0 1 2 | 1 1 1; ", pieces.Run(Boxes("content")));
    EXPECT_EQ(3u * (40000 + 100), pieces.source.bytesRead);

    // With one file open at a time each is opened again for its next piece; one gone by then is logged.
    MemoryRun reopened(pieces.files);
    reopened.limits = pieces.limits;
    reopened.limits.openFiles = 1;
    reopened.source.onRead = [&](uint32_t record) {
        if (record == 2) reopened.files[1].unopenable = true;
    };
    EXPECT_EQ("content 0 2 | 1 1; error /m/f; ", reopened.Run(Boxes("content")));
}

// Sets beyond the open-file budget of files that differ at their end (pairs, a
// run of 15, singles, beginnings), also with a file gone before it is compared.
TEST(CompareEngine, LargeSetsOfLateDifferingFilesOpenEachFileAtMostThreeTimes)
{
    std::vector<MemoryFile> files;
    const auto ending = [](int i) { return std::to_string(1000 + (i < 20 ? i / 2 : (i < 35 ? 100 : i))); };
    for (int i = 0; i < 60; ++i) files.push_back(Plain("f", std::string(3000, 'r') + ending(i)));
    for (int i = 0; i < 8; ++i) files.push_back(Plain("f", files[i * 5].content.substr(0, 3000 + i % 4)));
    files[21].unopenable = true;
    for (const bool truncated : {false, true}) {
        for (const bool vanishes : {false, true}) {
            SCOPED_TRACE(std::string(truncated ? "truncated" : "plain") + (vanishes ? ", 30 vanishes" : ""));
            const CompareOptions options = Boxes(truncated ? "content truncated group" : "content group");
            MemoryRun expected(files);
            expected.files[30].unopenable = vanishes;
            MemoryRun run(files);
            int readsOf31 = 0;
            // Hashed one after another: 31 is read again right after 30 was hashed.
            run.source.onRead = [&](uint32_t record) {
                if (vanishes && record == 31 && ++readsOf31 == 2) run.files[30].unopenable = true;
            };
            run.limits = {.largestChunk = 512, .firstPiece = 256, .openFiles = 4};
            // The file gone since it was hashed is logged like one unreadable from the start.
            EXPECT_EQ(expected.Run(options, true), run.Run(options));
            EXPECT_LE(run.source.mostOpen, 5);
            if (vanishes) continue;
            EXPECT_LE(run.source.opens, 3 * 68);
            // Progress follows the bytes: it rises in many steps, never falls, and
            // reaches 100 only at the end; files count as their reading ends.
            const std::vector<CompareProgress>& reports = run.host.reports;
            const CompareProgress& last = reports.back();
            EXPECT_TRUE(std::ranges::is_sorted(reports, {}, &CompareProgress::percent) && reports.size() > 20);
            EXPECT_EQ(1, std::ranges::count(reports, 100, &CompareProgress::percent) * (last.percent == 100));
            const auto partWay = [&](uint64_t done) { return done > 0 && done < last.files; };
            EXPECT_TRUE(std::ranges::is_sorted(reports, {}, &CompareProgress::filesDone) &&
                        std::ranges::any_of(reports, partWay, &CompareProgress::filesDone));
            EXPECT_TRUE(last.files == last.filesDone && last.bytes == last.bytesDone);
        }
    }
}

// Thousands of generated sets of small files: equal sizes, common beginnings,
// case variants of names, empty, unopenable and shrunk files.
constexpr int RecordSets = 4000;

class Generator {
public:
    explicit Generator(uint32_t seed) : random_(seed) {}

    int Below(int n) { return std::uniform_int_distribution<int>(0, n - 1)(random_); }
    bool Chance(int percent) { return Below(100) < percent; }

    std::string RandomBytes(int length)
    {
        std::string text;
        while (length-- > 0) text += Below(2) ? 'y' : 'x';
        return text;
    }

    std::string Content(const std::vector<MemoryFile>& earlier)
    {
        if (!earlier.empty() && Chance(65)) {
            const std::string& base = earlier[static_cast<size_t>(Below(static_cast<int>(earlier.size())))].content;
            switch (Below(5)) {  // otherwise a duplicate
            case 1:
                return base.substr(0, static_cast<size_t>(Below(static_cast<int>(base.size()) + 1)));  // a beginning
            case 2:
                return base + RandomBytes(1 + Below(4));  // a longer file that begins with it
            case 3:  // differs in the last byte only
                if (std::string changed = base; !changed.empty()) {
                    changed.back() = changed.back() == 'x' ? 'y' : 'x';
                    return changed;
                }
            }
            return base;
        }
        if (Chance(8)) return RandomBytes(250 + Below(20));  // across the 256-byte probe
        return RandomBytes(Below(7));
    }

    std::string Name()
    {
        static const char* const names[] = {"a", "A", "b", "ab", "Ab", "AB", "a.txt", "A.TXT", "\xE9", "\xC9", "z"};
        return names[Below(static_cast<int>(std::size(names)))];
    }

    std::vector<MemoryFile> Files()
    {
        std::vector<MemoryFile> files;
        const int count = Chance(10) ? Below(30) : Below(12);
        for (int f = 0; f < count; ++f) {
            // Each file in a folder of its own, so that error rows name distinct paths.
            MemoryFile file{"/m/" + std::to_string(f) + "/", Name(), 0, Content(files)};
            file.listedSize = file.content.size();
            if (Chance(4)) file.listedSize += 1 + static_cast<uint64_t>(Below(3));  // shrank since listed
            if (Chance(6)) file.unopenable = true;
            files.push_back(std::move(file));
        }
        return files;
    }

    // Bit b of bits ticks the b-th box word of Checks.
    static CompareOptions Options(unsigned bits)
    {
        static const char* const words[] = {"combined", "only", "content", "truncated", "group",
                                            "name",     "case", "size",    "zeros"};
        std::string checked;
        for (size_t b = 0; b < std::size(words); ++b) checked += (bits >> b) & 1 ? std::string(words[b]) + " " : "";
        return Boxes(checked);
    }

    ContentLimits Limits()
    {
        ContentLimits limits;
        limits.bufferBudget = static_cast<size_t>(1 + Below(64));
        limits.smallestChunk = static_cast<size_t>(1 + Below(4));
        limits.largestChunk = static_cast<size_t>(1 + Below(300));
        limits.openFiles = static_cast<size_t>(Below(4));
        limits.firstPiece = static_cast<size_t>(1 + Below(8));
        limits.tailPiece = static_cast<size_t>(Below(6));
        return limits;
    }

private:
    std::mt19937 random_;
};

// Runs both on one record set and option set; true when they agree.
bool RunBoth(const std::vector<MemoryFile>& files, unsigned optionBits, const ContentLimits& limits)
{
    std::ostringstream context;
    context << "option bits " << optionBits << "\n";
    for (size_t r = 0; r < files.size(); ++r)
        context << r << ": " << files[r].folder << files[r].name << " listed " << files[r].listedSize << " '"
                << files[r].content.substr(0, 40) << "'" << (files[r].unopenable ? " unopenable" : "") << "\n";
    const CompareOptions options = Generator::Options(optionBits);
    MemoryRun expected(files), run(files);
    expected.Run(options, true);
    run.limits = limits;
    run.Run(options);
    EXPECT_EQ(CompareOutcome::Completed, run.outcome);
    const auto fields = [](const CompareLists& x) {
        return std::tie(x.combined.rows, x.combined.groups, x.content.rows, x.content.groups, x.name.rows, x.name.groups,
                        x.size.rows, x.size.groups, x.truncatedRows, x.zeroSizeRows, x.truncated, x.truncatedCount, x.zeroSizeCount);
    };
    EXPECT_EQ(fields(expected.lists), fields(run.lists)) << context.str();
    EXPECT_EQ(expected.host.phases, run.host.phases) << context.str();
    // Sorted, so that a file reported twice shows too: the anchor scans report each once.
    for (RecordingHost* host : {&expected.host, &run.host}) std::ranges::sort(host->errors);
    EXPECT_EQ(expected.host.errors, run.host.errors) << context.str();
    EXPECT_LE(static_cast<size_t>(run.source.mostOpen), limits.openFiles + 1) << context.str();
    EXPECT_EQ(0, run.source.openNow) << "a file left open\n" << context.str();
    return !::testing::Test::HasFailure();
}

TEST(CompareEngineDifferential, AgreesWithTheAnchorScansOnGeneratedFiles)
{
    Generator generate(20240611);
    for (int set = 0; set < RecordSets; ++set) {
        const std::vector<MemoryFile> files = generate.Files();
        for (int run = 0; run < 12; ++run) {
            if (!RunBoth(files, static_cast<unsigned>(generate.Below(512)), generate.Limits())) return;
        }
        // Every fourth set also with the program's own limits.
        if (set % 4 == 0 && !RunBoth(files, static_cast<unsigned>(generate.Below(512)), ContentLimits{})) return;
    }
}

}  // namespace
}  // namespace tolvane::test
