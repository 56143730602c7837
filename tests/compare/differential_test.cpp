// The engine against the plain anchor scans, on thousands of generated sets
// of small files: equal sizes, common beginnings, case variants of names,
// empty files, files that cannot be opened and files that shrank.
#include <gtest/gtest.h>

#include <random>
#include <set>
#include <sstream>
#include <tuple>

#include "compare/memory_files.h"
#include "compare/reference_engine.h"

namespace tolvane::test {
namespace {

constexpr int RecordSets = 4000;

class Generator {
public:
    explicit Generator(uint32_t seed) : random_(seed) {}

    int Below(int n) { return std::uniform_int_distribution<int>(0, n - 1)(random_); }
    bool Chance(int percent) { return Below(100) < percent; }

    std::string RandomBytes(int length)
    {
        std::string text;
        for (int i = 0; i < length; ++i) text += Below(2) ? 'y' : 'x';
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
            case 3:
                if (base.empty()) return base;
                {
                    std::string changed = base;
                    changed.back() = changed.back() == 'x' ? 'y' : 'x';  // differs in the last byte only
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

    // Bit b of bits sets the b-th box.
    static CompareOptions Options(unsigned bits)
    {
        static constexpr bool CompareOptions::*boxes[] = {
            &CompareOptions::combinedResult, &CompareOptions::combinedOnly,       &CompareOptions::matchContent,
            &CompareOptions::soTruncated,    &CompareOptions::dontGroupTruncated, &CompareOptions::matchName,
            &CompareOptions::ignoreCase,     &CompareOptions::matchSize,          &CompareOptions::ignoreZeroSize};
        CompareOptions o;
        for (size_t b = 0; b < std::size(boxes); ++b) o.*boxes[b] = (bits >> b) & 1;
        return CountedOptions(o);
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

std::string Describe(const std::vector<MemoryFile>& files, unsigned optionBits)
{
    std::ostringstream text;
    text << "option bits " << optionBits << "\n";
    for (size_t r = 0; r < files.size(); ++r) {
        text << r << ": " << files[r].folder << files[r].name << " listed " << files[r].listedSize << " '"
             << (files[r].content.size() > 40 ? files[r].content.substr(0, 40) + "..." : files[r].content) << "'"
             << (files[r].unopenable ? " unopenable" : "") << "\n";
    }
    return text.str();
}

auto Fields(const CompareLists& l)
{
    return std::tie(l.combined.rows, l.combined.groups, l.content.rows, l.content.groups, l.name.rows, l.name.groups,
                    l.size.rows, l.size.groups, l.truncatedRows, l.zeroSizeRows, l.truncated, l.truncatedCount,
                    l.zeroSizeCount);
}

// Runs both on one record set and option set; true when they agree.
bool RunBoth(const std::vector<MemoryFile>& files, unsigned optionBits, const ContentLimits& limits,
             size_t referenceChunk)
{
    const CompareOptions options = Generator::Options(optionBits);
    const FileRecords records = MakeRecords(files);
    std::atomic<bool> stop{false};

    MemorySource referenceSource(files);
    RecordingHost referenceHost;
    CompareLists expected;
    RunReferencePhases(records, options, referenceSource, referenceHost, stop, expected, referenceChunk);

    MemorySource engineSource(files);
    RecordingHost engineHost;
    CompareLists actual;
    EXPECT_EQ(CompareOutcome::Completed,
              RunComparePhases(records, options, engineSource, engineHost, stop, actual, limits));

    const std::string context = Describe(files, optionBits);
    EXPECT_EQ(Fields(expected), Fields(actual)) << context;
    EXPECT_EQ(referenceHost.phases, engineHost.phases) << context;
    const std::set<std::string> expectedErrors(referenceHost.errors.begin(), referenceHost.errors.end());
    const std::set<std::string> actualErrors(engineHost.errors.begin(), engineHost.errors.end());
    EXPECT_EQ(expectedErrors, actualErrors) << context;
    EXPECT_EQ(actualErrors.size(), engineHost.errors.size()) << "an unreadable file reported twice\n" << context;
    EXPECT_LE(static_cast<size_t>(engineSource.mostOpen), limits.openFiles + 1) << context;
    EXPECT_EQ(0, engineSource.openNow) << "a file left open\n" << context;
    return !::testing::Test::HasFailure();
}

TEST(CompareEngineDifferential, AgreesWithTheAnchorScansOnGeneratedFiles)
{
    Generator generate(20240611);
    for (int set = 0; set < RecordSets; ++set) {
        const std::vector<MemoryFile> files = generate.Files();
        const size_t referenceChunk = static_cast<size_t>(1 + generate.Below(6));
        for (int run = 0; run < 12; ++run) {
            if (!RunBoth(files, static_cast<unsigned>(generate.Below(512)), generate.Limits(), referenceChunk)) return;
        }
        // Every fourth set also with the program's own limits.
        if (set % 4 == 0 && !RunBoth(files, static_cast<unsigned>(generate.Below(512)), ContentLimits{}, 4096)) return;
    }
}

TEST(CompareEngineDifferential, AgreesUnderEveryOptionSet)
{
    Generator generate(7);
    for (int set = 0; set < 40; ++set) {
        const std::vector<MemoryFile> files = generate.Files();
        for (unsigned bits = 0; bits < 512; ++bits) {
            if (!RunBoth(files, bits, generate.Limits(), 3)) return;
        }
    }
}

}  // namespace
}  // namespace tolvane::test
