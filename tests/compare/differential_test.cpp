// The engine against the plain anchor scans on thousands of generated sets of small files:
// equal sizes, common beginnings, case variants of names, empty, unopenable and shrunk files.
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

// Runs both on one record set and option set; true when they agree.
bool RunBoth(const std::vector<MemoryFile>& files, unsigned optionBits, const ContentLimits& limits, size_t referenceChunk)
{
    std::ostringstream context;
    context << "option bits " << optionBits << "\n";
    for (size_t r = 0; r < files.size(); ++r)
        context << r << ": " << files[r].folder << files[r].name << " listed " << files[r].listedSize << " '"
                << files[r].content.substr(0, 40) << "'" << (files[r].unopenable ? " unopenable" : "") << "\n";
    const CompareOptions options = Generator::Options(optionBits);
    const FileRecords records = MakeRecords(files);
    std::atomic<bool> stop{false};
    MemorySource sources[2] = {MemorySource(files), MemorySource(files)};
    RecordingHost hosts[2];
    CompareLists l[2];
    RunReferencePhases(records, options, sources[0], hosts[0], stop, l[0], referenceChunk);
    EXPECT_EQ(CompareOutcome::Completed, RunComparePhases(records, options, sources[1], hosts[1], stop, l[1], limits));
    const auto fields = [](const CompareLists& x) {
        return std::tie(x.combined.rows, x.combined.groups, x.content.rows, x.content.groups, x.name.rows, x.name.groups,
                        x.size.rows, x.size.groups, x.truncatedRows, x.zeroSizeRows, x.truncated, x.truncatedCount, x.zeroSizeCount);
    };
    EXPECT_EQ(fields(l[0]), fields(l[1])) << context.str();
    EXPECT_EQ(hosts[0].phases, hosts[1].phases) << context.str();
    const std::set<std::string> actualErrors(hosts[1].errors.begin(), hosts[1].errors.end());
    EXPECT_EQ(std::set<std::string>(hosts[0].errors.begin(), hosts[0].errors.end()), actualErrors) << context.str();
    EXPECT_EQ(actualErrors.size(), hosts[1].errors.size()) << "an unreadable file reported twice\n" << context.str();
    EXPECT_LE(static_cast<size_t>(sources[1].mostOpen), limits.openFiles + 1) << context.str();
    EXPECT_EQ(0, sources[1].openNow) << "a file left open\n" << context.str();
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

}  // namespace
}  // namespace tolvane::test
