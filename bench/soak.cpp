// A soak run: finds and compares, again and again, over one large tree of
// small files, each run on its own worker thread while this (the "page")
// thread asks it to stop at a random moment. Every run must end in its
// finished state, and the process's resident memory must not creep upwards
// from one full round to the next.
//
//   soak TREE ENTRIES ROUNDS SEED
//
// Makes the tree under TREE unless TREE/.tolvane-soak says it holds this
// many entries already. Exits 1 when a run did not finish, listed other rows
// than a full run (more, when stopped) or memory grew beyond the margin, 2 on
// bad arguments or a tree that cannot be made.
#include <algorithm>
#include <chrono>
#include <cinttypes>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "compare/compare_run.h"
#include "find/search_engine.h"
#include "platform/fs.h"

namespace {

using namespace tolvane;
using Clock = std::chrono::steady_clock;

constexpr const char* MarkerName = ".tolvane-soak";
constexpr const char* Needle = "tolvane-soak-needle";
// Every fourth round, the first and the last run to the end.
constexpr int FullRoundEvery = 4;
// Resident memory after the last full round may exceed that after the first
// one by this share plus this many KiB (the allocator keeps some slack).
constexpr double RssGrowthShare = 0.10;
constexpr long RssGrowthSlackKiB = 16 * 1024;

long ParseCount(const char* text)
{
    char* end = nullptr;
    const long value = std::strtol(text, &end, 10);
    return end != text && *end == '\0' && value > 0 ? value : -1;
}

// ---- The tree -------------------------------------------------------------

// Folders a<i>/b<j>/c<k>, ten leaves under each b and ten b under each a;
// about a hundred files in each leaf. Names repeat across leaves, contents
// repeat across the tree, some files are empty, some are the truncated start
// of another, some differ from another only in their last byte.
class TreeMaker {
public:
    TreeMaker(std::string root, long entries) : root_(std::move(root)), random_(20261206)
    {
        leaves_ = std::max(1L, entries / 100);
        const long folders = leaves_ + (leaves_ + 9) / 10 + (leaves_ + 99) / 100;
        files_ = std::max(1L, entries - folders);
        for (int blob = 0; blob < std::max(16L, files_ / 40); ++blob) pool_.push_back(RandomBytes(RandomSize()));
    }

    bool Make()
    {
        std::error_code error;
        std::filesystem::create_directories(root_, error);
        if (error) return Fail(root_, error.message());
        // Marks the folder as the soak's own, so that the script may remove it.
        std::ofstream(root_ + "/" + MarkerName) << "partial\n";
        for (long leaf = 0; leaf < leaves_; ++leaf) {
            std::filesystem::create_directories(LeafFolder(leaf), error);
            if (error) return Fail(LeafFolder(leaf), error.message());
        }
        for (long n = 0; n < files_; ++n) {
            const std::string path = LeafFolder(n % leaves_) + "/" + FileName(n);
            const std::string content = Content(path);
            platform::File file;
            if (!file.CreateForWriting(path) || !file.Write(content.data(), content.size()))
                return Fail(path, "cannot be written");
            if (n % 50000 == 49999) std::printf("  %ld files written\n", n + 1), std::fflush(stdout);
        }
        std::ofstream(root_ + "/" + MarkerName) << "complete " << Entries() << "\n";
        return true;
    }

    long Entries() const { return files_ + leaves_ + (leaves_ + 9) / 10 + (leaves_ + 99) / 100; }
    long Files() const { return files_; }

private:
    std::string LeafFolder(long leaf) const
    {
        return root_ + "/a" + std::to_string(leaf / 100) + "/b" + std::to_string(leaf / 10 % 10) + "/c" +
               std::to_string(leaf % 10);
    }

    // One file in seven takes a name many other leaves use too; the place in
    // its leaf keeps it unique there.
    std::string FileName(long n)
    {
        static const char* const extensions[] = {"txt", "txt", "txt", "dat", "dat", "bin", "bin", "csv", "log"};
        const char* extension = extensions[random_() % std::size(extensions)];
        char name[64];
        if (random_() % 7 == 0)
            std::snprintf(name, sizeof name, "shared_%ld_%d.%s", n / leaves_, static_cast<int>(random_() % 40), extension);
        else
            std::snprintf(name, sizeof name, "f%ld.%s", n, extension);
        return name;
    }

    std::string Content(const std::string& path)
    {
        const unsigned roll = random_() % 100;
        std::string content;
        if (roll < 2)
            return content;  // empty
        if (roll < 27) {
            content = Pooled();  // a duplicate
        } else if (roll < 29) {
            content = Pooled();
            content.resize(1 + random_() % content.size());  // the start of another
        } else if (roll < 31) {
            content = Pooled();
            content.back() ^= 0x5A;  // another with a different last byte
        } else {
            content = RandomBytes(RandomSize());
        }
        // Half the log files hold the needle the find runs look for.
        if (path.ends_with(".log") && content.size() > std::string_view(Needle).size() && random_() % 2 == 0)
            content.replace(random_() % (content.size() - std::string_view(Needle).size()), std::string_view(Needle).size(),
                            Needle);
        return content;
    }

    const std::string& Pooled() { return pool_[random_() % pool_.size()]; }

    // 1 byte to 4 KiB, smaller sizes more often.
    size_t RandomSize() { return 1 + random_() % (random_() % 2 == 0 ? 512 : 4096); }

    std::string RandomBytes(size_t count)
    {
        std::string bytes(count, '\0');
        for (char& byte : bytes) byte = static_cast<char>(random_() >> 56);
        return bytes;
    }

    bool Fail(const std::string& path, const std::string& why)
    {
        std::fprintf(stderr, "soak: %s: %s\n", path.c_str(), why.c_str());
        return false;
    }

    std::string root_;
    std::mt19937_64 random_;
    long leaves_ = 1;
    long files_ = 1;
    std::vector<std::string> pool_;
};

bool TreeIsComplete(const std::string& root, long entries)
{
    std::ifstream marker(root + "/" + MarkerName);
    std::string word;
    long count = 0;
    return marker >> word >> count && word == "complete" && count == entries;
}

// ---- Memory figures -------------------------------------------------------

struct Memory {
    long rssKiB = 0;
    long peakKiB = 0;
};

Memory ReadMemory()
{
    Memory memory;
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        // Such as "VmRSS:     12345 kB".
        if (line.rfind("VmRSS:", 0) == 0) memory.rssKiB = std::strtol(line.c_str() + 6, nullptr, 10);
        if (line.rfind("VmHWM:", 0) == 0) memory.peakKiB = std::strtol(line.c_str() + 6, nullptr, 10);
    }
    return memory;
}

// ---- The ports of the two pages, kept quiet ------------------------------

// No message is expected: any that comes is counted and printed.
class CountingPrompter : public Prompter {
public:
    int Message(const std::string& text, const std::string& caption, unsigned) override
    {
        std::printf("  message: \"%s\" / \"%s\"\n", text.c_str(), caption.c_str());
        ++shown;
        return IdNo;
    }
    int shown = 0;
};

// The last run state each engine reported.
class QuietFindView : public FindRunView {
public:
    void RunStateChanged(SearchRunState state) override { reported = state; }
    SearchRunState reported = SearchRunState::Idle;
};

class QuietCompareView : public CompareRunView {
public:
    void RunStateChanged(CompareRunState state) override { reported = state; }
    CompareRunState reported = CompareRunState::Idle;
};

// ---- One run ---------------------------------------------------------------

struct RunFigures {
    long stoppedAtMs = -1;  // -1: no stop was requested
    long durationMs = 0;
    long rows = 0;
    bool finished = false;
    Memory memory;
};

// Starts body on a worker, waits until running() is true, as the page's
// Cancel button only appears then, and requests a stop after stopAfterMs
// (never when negative) unless the worker has finished by then.
template <typename Body, typename Running, typename Stop>
RunFigures RunOnWorker(long stopAfterMs, Body body, Running running, Stop stop)
{
    RunFigures figures;
    const Clock::time_point start = Clock::now();
    std::atomic<bool> done{false};
    std::thread worker([&] {
        body();
        done.store(true);
    });
    while (!running() && !done.load()) std::this_thread::sleep_for(std::chrono::microseconds(200));
    if (stopAfterMs >= 0) {
        const Clock::time_point stopAt = Clock::now() + std::chrono::milliseconds(stopAfterMs);
        while (!done.load() && Clock::now() < stopAt) std::this_thread::sleep_for(std::chrono::milliseconds(1));
        if (!done.load()) {
            stop();
            figures.stoppedAtMs =
                std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count();
        }
    }
    worker.join();
    figures.durationMs = std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count();
    return figures;
}

class FindPage {
public:
    explicit FindPage(const std::string& tree)
    {
        SearchCriteria& criteria = state_.criteria;
        criteria.filtersSpecified = true;
        criteria.extensionRuleOn = true;
        criteria.extensionList = "log";
        criteria.contentRuleOn = true;
        criteria.contentText = Needle;
        state_.locations.locationsSpecified = true;
        state_.locations.locationPaths = {tree};
        state_.locations.locationCount = 1;
        state_.locations.includeSubfolders = true;
    }

    RunFigures Run(long stopAfterMs)
    {
        SearchOutcome outcome = SearchOutcome::NotStarted;
        RunFigures figures = RunOnWorker(
            stopAfterMs, [&] { outcome = SearchWorker(state_, view_, prompter_, lists_); },
            [&] { return state_.runState.load() != SearchRunState::Idle; },
            [&] { state_.stopRequested.store(true); });
        figures.finished = outcome == SearchOutcome::Completed && state_.runState.load() == SearchRunState::Finished &&
                           view_.reported == SearchRunState::Finished &&
                           files_.RowCount() == state_.foundFileCount.load();
        figures.rows = files_.RowCount();
        figures.memory = ReadMemory();
        ResetFindRun(state_, view_, lists_);
        return figures;
    }

    int Messages() const { return prompter_.shown; }

private:
    FindState state_;
    QuietFindView view_;
    CountingPrompter prompter_;
    MemoryResultList files_;
    MemoryResultList folders_;
    MemoryResultList errors_{false};
    FindLists lists_{files_, folders_, errors_};
};

class ComparePage {
public:
    explicit ComparePage(const std::string& tree)
    {
        settings_.locationsSpecified = true;
        settings_.locationPaths = {tree};
        settings_.boxes.matchContent = true;
        settings_.boxes.matchName = true;
        settings_.boxes.matchSize = true;
    }

    RunFigures Run(long stopAfterMs)
    {
        RunFigures figures = RunOnWorker(
            stopAfterMs, [&] { run_.Run(settings_); }, [&] { return run_.RunState() != CompareRunState::Idle; },
            [&] { run_.RequestStop(); });
        figures.finished = run_.RunState() == CompareRunState::Finished && run_.ListsWritten() &&
                           view_.reported == CompareRunState::Finished;
        for (int tab = 0; tab < static_cast<int>(CompareTab::ErrorLog); ++tab) figures.rows += lists_[tab].RowCount();
        figures.memory = ReadMemory();
        run_.Reset();
        return figures;
    }

    int Messages() const { return prompter_.shown; }

private:
    CompareRunSettings settings_;
    QuietCompareView view_;
    CountingPrompter prompter_;
    FileContentSource files_;
    MemoryResultList lists_[CompareTabCount];
    CompareRun run_{view_, prompter_, files_, ResultListsOf(lists_)};
};

// "-" for a run meant to go to the end, "none" for one that ended before its
// stop moment came.
void PrintRow(int round, const char* kind, bool full, const RunFigures& figures)
{
    char stopped[24] = "none";
    if (full) std::snprintf(stopped, sizeof stopped, "-");
    if (figures.stoppedAtMs >= 0) std::snprintf(stopped, sizeof stopped, "%ld", figures.stoppedAtMs);
    std::printf("%5d  %-7s %10s %8ld %8ld  %-8s %9ld %9ld\n", round, kind, stopped, figures.durationMs, figures.rows,
                figures.finished ? "Finished" : "NOT DONE", figures.memory.rssKiB, figures.memory.peakKiB);
    std::fflush(stdout);
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 5) {
        std::fprintf(stderr, "usage: soak TREE ENTRIES ROUNDS SEED\n");
        return 2;
    }
    const std::string tree = std::filesystem::absolute(argv[1]).lexically_normal().string();
    const long entries = ParseCount(argv[2]);
    const long rounds = ParseCount(argv[3]);
    const long seed = ParseCount(argv[4]);
    if (entries < 0 || rounds < 0 || seed < 0) {
        std::fprintf(stderr, "soak: ENTRIES, ROUNDS and SEED must be positive whole numbers\n");
        return 2;
    }

    TreeMaker maker(tree, entries);
    if (TreeIsComplete(tree, maker.Entries())) {
        std::printf("reusing the tree in %s\n", tree.c_str());
    } else {
        std::printf("making the tree in %s: %ld entries, %ld of them files\n", tree.c_str(), maker.Entries(),
                    maker.Files());
        std::fflush(stdout);
        const Clock::time_point start = Clock::now();
        if (!maker.Make()) return 2;
        std::printf("tree made in %.1f s\n", std::chrono::duration<double>(Clock::now() - start).count());
    }

    std::printf("seed %ld, %ld rounds; round 1, every %d rounds after it and the last run to the end\n", seed, rounds,
                FullRoundEvery);
    std::printf("round  kind     stop ms    run ms     rows  state       VmRSS KiB VmHWM KiB\n");
    std::mt19937_64 random(static_cast<uint64_t>(seed));
    FindPage find(tree);
    ComparePage compare(tree);
    long fullMs[2] = {0, 0};
    // The tree does not change: every run that goes to the end lists what the
    // first did, and a stopped one no more than that.
    long fullRows[2] = {0, 0};
    bool rowsRight = true;
    // Taken after the compare run of the first and of the last round, both
    // full: by then the process has done the largest work of either kind.
    Memory first, last;
    bool allFinished = true;
    for (int round = 1; round <= rounds; ++round) {
        const bool full = round == 1 || round == rounds || (round - 1) % FullRoundEvery == 0;
        for (int kind = 0; kind < 2; ++kind) {
            const long stopAfter = full ? -1 : static_cast<long>(random() % static_cast<uint64_t>(fullMs[kind] + 1));
            const RunFigures figures = kind == 0 ? find.Run(stopAfter) : compare.Run(stopAfter);
            PrintRow(round, kind == 0 ? "find" : "compare", full, figures);
            allFinished = allFinished && figures.finished;
            if (round == 1) fullRows[kind] = figures.rows;
            const bool stopped = figures.stoppedAtMs >= 0;
            // Stop moments are drawn within the latest run that went to the
            // end, as the machine's load may change from round to round.
            if (!stopped) fullMs[kind] = figures.durationMs;
            if (stopped ? figures.rows > fullRows[kind] : figures.rows != fullRows[kind]) {
                std::printf("  rows: %ld, where the full run listed %ld\n", figures.rows, fullRows[kind]);
                rowsRight = false;
            }
            if (round == 1 && kind == 1) first = figures.memory;
            if (round == rounds && kind == 1) last = figures.memory;
        }
    }

    const long limit = static_cast<long>(static_cast<double>(first.rssKiB) * (1 + RssGrowthShare)) + RssGrowthSlackKiB;
    const bool flat = last.rssKiB <= limit;
    std::printf("VmRSS after round 1: %ld KiB, after round %ld: %ld KiB (limit %ld KiB): %s\n", first.rssKiB, rounds,
                last.rssKiB, limit, flat ? "flat" : "GREW");
    std::printf("VmHWM after round 1: %ld KiB, after round %ld: %ld KiB\n", first.peakKiB, rounds, last.peakKiB);
    std::printf("messages shown: %d\n", find.Messages() + compare.Messages());
    std::printf("%s\n", allFinished ? "every run finished" : "SOME RUN DID NOT FINISH");
    std::printf("%s\n", rowsRight ? "every run to the end listed the full rows, every stopped run no more"
                                  : "SOME RUN LISTED OTHER ROWS");
    return allFinished && rowsRight && flat && find.Messages() + compare.Messages() == 0 ? 0 : 1;
}
