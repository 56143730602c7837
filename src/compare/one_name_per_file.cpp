#include "compare/one_name_per_file.h"

#include <set>

namespace tolvane {

bool FileContentSource::Identity(uint32_t, const std::string& fullPath, platform::FileIdentity& identity)
{
    return platform::ReadFileIdentity(fullPath, identity);
}

void KeepOneNamePerFile(const FileRecords& records, ContentSource& source, std::vector<uint32_t>& members,
                        std::vector<uint32_t>& ends)
{
    std::set<platform::FileIdentity> seen;
    size_t kept = 0;
    size_t setsKept = 0;
    uint32_t begin = 0;
    for (const uint32_t end : ends) {
        seen.clear();
        const size_t setStart = kept;
        // A set whose files the listing knows to have one name each needs no
        // look at all. Otherwise every member is looked at: the other path of
        // a file mounted a second time shows nothing of it.
        bool look = false;
        for (uint32_t m = begin; m < end && !look; ++m) look = records.MayHaveOtherNames(members[m]);
        for (uint32_t m = begin; m < end; ++m) {
            const uint32_t record = members[m];
            platform::FileIdentity identity;
            if (look && source.Identity(record, records.FullPath(record), identity) && !seen.insert(identity).second)
                continue;
            members[kept++] = record;
        }
        if (kept - setStart >= 2)
            ends[setsKept++] = static_cast<uint32_t>(kept);
        else
            kept = setStart;
        begin = end;
    }
    members.resize(kept);
    ends.resize(setsKept);
}

void KeepOneNamePerFile(const FileRecords& records, ContentSource& source, GroupList& list)
{
    std::vector<uint32_t> ends;
    for (size_t r = 1; r <= list.groups.size(); ++r) {
        if (r == list.groups.size() || list.groups[r] != list.groups[r - 1]) ends.push_back(static_cast<uint32_t>(r));
    }
    KeepOneNamePerFile(records, source, list.rows, ends);
    list.groups.clear();
    uint32_t row = 0;
    for (size_t set = 0; set < ends.size(); ++set) {
        for (; row < ends[set]; ++row) list.groups.push_back(static_cast<uint32_t>(set + 1));
    }
}

}  // namespace tolvane
