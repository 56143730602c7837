#include "compare/key_grouping.h"

namespace tolvane {
namespace {

char FoldLatin(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c; }

}  // namespace

bool SameName(std::string_view a, std::string_view b, bool ignoreCase)
{
    if (a.size() != b.size()) return false;
    if (!ignoreCase) return a == b;
    for (size_t i = 0; i < a.size(); ++i) {
        if (FoldLatin(a[i]) != FoldLatin(b[i])) return false;
    }
    return true;
}

void AppendClasses(const Classes& classes, GroupList& list, std::vector<uint32_t>* groupOf)
{
    uint32_t group = static_cast<uint32_t>(list.groups.empty() ? 0 : list.groups.back());
    for (size_t c = 0; c < classes.Count(); ++c) {
        ++group;
        for (uint32_t m = classes.Begin(c); m < classes.ends[c]; ++m) {
            list.rows.push_back(classes.members[m]);
            list.groups.push_back(group);
            if (groupOf) (*groupOf)[classes.members[m]] = group;
        }
    }
}

uint64_t NameHash(std::string_view name, bool ignoreCase)
{
    uint64_t hash = 14695981039346656037ull;
    for (char c : name) {
        hash ^= static_cast<uint8_t>(ignoreCase ? FoldLatin(c) : c);
        hash *= 1099511628211ull;
    }
    return hash;
}

uint64_t Mix(uint64_t a, uint64_t b)
{
    a ^= b + 0x9E3779B97F4A7C15ull + (a << 6) + (a >> 2);
    a ^= a >> 31;
    a *= 0xBF58476D1CE4E5B9ull;
    return a ^ (a >> 29);
}

}  // namespace tolvane
