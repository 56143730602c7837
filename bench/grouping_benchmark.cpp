// Size and name grouping of a million collected files held in memory:
// prints the time of each phase set and the memory the records take.
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <random>
#include <string>

#include "compare/compare_engine.h"

namespace {

using namespace tolvane;

class QuietHost : public CompareEngineHost {
public:
    void AddCompareErrorEntry(const std::string&, uint32_t) override {}
};

// Never asked: the size and name phases read no file.
class NoFiles : public ContentSource {
public:
    std::unique_ptr<ContentReader> Open(uint32_t, const std::string&, uint32_t& errorCode) override
    {
        errorCode = 2;
        return nullptr;
    }
};

FileRecords MakeRecords(uint32_t count)
{
    std::mt19937_64 random(42);
    FileRecords records;
    FindData entry;
    for (uint32_t i = 0; i < count; ++i) {
        if (i % 500 == 0) records.AddFolder("C:\\data\\folder" + std::to_string(i / 500) + "\\");
        // A name pool a third the size of the list, so that many names repeat,
        // some in another letter case.
        const uint64_t pick = random() % (count / 3 + 1);
        std::string name = "document_" + std::to_string(pick) + ".txt";
        if (random() % 8 == 0) name[0] = 'D';
        std::strncpy(entry.cFileName, name.c_str(), sizeof entry.cFileName - 1);
        const double exponent = std::uniform_real_distribution<double>(0, 24)(random);
        entry.SetSize(static_cast<uint64_t>(std::pow(2.0, exponent)));
        records.Add(entry);
    }
    return records;
}

double Seconds(std::chrono::steady_clock::time_point start)
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

void Time(const char* label, const FileRecords& records, CompareOptions boxes)
{
    QuietHost host;
    NoFiles source;
    std::atomic<bool> stop{false};
    CompareLists lists;
    const auto start = std::chrono::steady_clock::now();
    RunComparePhases(records, CountedOptions(boxes), source, host, stop, lists);
    std::printf("%-40s %6.3f s  (size rows %zu, name rows %zu, combined rows %zu)\n", label, Seconds(start),
                lists.size.rows.size(), lists.name.rows.size(), lists.combined.rows.size());
}

}  // namespace

int main(int argc, char** argv)
{
    const uint32_t count = argc > 1 ? static_cast<uint32_t>(std::stoul(argv[1])) : 1000000;
    const auto start = std::chrono::steady_clock::now();
    const FileRecords records = MakeRecords(count);
    std::printf("%u records made in %.3f s, %.1f MiB (%.0f bytes per record)\n", count, Seconds(start),
                records.MemoryUsed() / 1048576.0, static_cast<double>(records.MemoryUsed()) / count);

    CompareOptions size;
    size.matchSize = true;
    Time("size", records, size);
    CompareOptions name;
    name.matchName = true;
    name.ignoreCase = true;
    Time("name, ignoring case", records, name);
    CompareOptions both = size;
    both.matchName = true;
    both.combinedResult = true;
    Time("size, name and size + name from groups", records, both);
    both.combinedOnly = true;
    Time("size + name only", records, both);
    return 0;
}
