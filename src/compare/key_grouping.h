// Grouping by key. An anchor scan over an equivalence gives exactly its
// classes of two or more members, ordered by their lowest record, each in
// record order; sorting by key finds them without comparing every pair.
#pragma once

#include <algorithm>
#include <cstdint>
#include <string_view>
#include <vector>

#include "compare/compare_engine.h"

namespace tolvane {

struct KeyedRecord {
    uint64_t hash;
    uint32_t record;
};

// The classes found, flattened: class c holds members[ends[c-1] .. ends[c]).
struct Classes {
    std::vector<uint32_t> members;
    std::vector<uint32_t> ends;

    size_t Count() const { return ends.size(); }
    uint32_t Begin(size_t c) const { return c == 0 ? 0 : ends[c - 1]; }
};

// keyed is sorted in place. equal decides between records of the same hash,
// so a hash collision never joins two different keys.
template <typename Equal>
void GroupByKey(std::vector<KeyedRecord>& keyed, Equal equal, Classes& out)
{
    out.members.clear();
    out.ends.clear();
    std::sort(keyed.begin(), keyed.end(), [](const KeyedRecord& x, const KeyedRecord& y) {
        return x.hash != y.hash ? x.hash < y.hash : x.record < y.record;
    });

    struct Found {
        uint32_t first;
        uint32_t begin;
        uint32_t end;
    };
    std::vector<Found> found;
    std::vector<uint32_t> members;
    std::vector<uint8_t> taken;
    const size_t total = keyed.size();
    for (size_t a = 0; a < total;) {
        size_t b = a + 1;
        while (b < total && keyed[b].hash == keyed[a].hash) ++b;
        if (b - a >= 2) {
            // Nearly always one key per hash; split the run only after a collision.
            taken.assign(b - a, 0);
            for (size_t t = a; t < b; ++t) {
                if (taken[t - a]) continue;
                const uint32_t begin = static_cast<uint32_t>(members.size());
                members.push_back(keyed[t].record);
                for (size_t u = t + 1; u < b; ++u) {
                    if (!taken[u - a] && equal(keyed[t].record, keyed[u].record)) {
                        taken[u - a] = 1;
                        members.push_back(keyed[u].record);
                    }
                }
                const uint32_t end = static_cast<uint32_t>(members.size());
                if (end - begin >= 2) {
                    found.push_back({keyed[t].record, begin, end});
                } else {
                    members.pop_back();
                }
            }
        }
        a = b;
    }
    std::sort(found.begin(), found.end(), [](const Found& x, const Found& y) { return x.first < y.first; });
    out.members.reserve(members.size());
    out.ends.reserve(found.size());
    for (const Found& f : found) {
        out.members.insert(out.members.end(), members.begin() + f.begin, members.begin() + f.end);
        out.ends.push_back(static_cast<uint32_t>(out.members.size()));
    }
}

// Appends each class as the next group of list; groupOf, when given, learns
// each member's group number.
void AppendClasses(const Classes& classes, GroupList& list, std::vector<uint32_t>* groupOf);

// A hash of the name that agrees with SameName: equal names, equal hashes.
uint64_t NameHash(std::string_view name, bool ignoreCase);

// One key of two.
uint64_t Mix(uint64_t a, uint64_t b);

}  // namespace tolvane
