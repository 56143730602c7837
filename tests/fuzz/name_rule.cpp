// Fuzzes the name rule against rules that hold whatever the matcher's details.
#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <cstdint>
#include <string>

#include "find/criteria.h"
#include "platform/text.h"
#include "fuzz_support.h"
#include "support/temp_folder.h"

using namespace tolvane;
using fuzz::Require;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    FuzzedDataProvider input(data, size);
    const bool caseSensitive = input.ConsumeBool();
    const std::string pattern = input.ConsumeRandomLengthString(NameTextMax + 8);
    const FindData entry = test::NamedEntry(input.ConsumeRemainingBytesAsString());
    const std::string name = entry.cFileName;

    const bool contains = MatchName(entry, pattern, NameRuleMode::Contains, caseSensitive);
    const bool matches = MatchName(entry, pattern, NameRuleMode::Matches, caseSensitive);
    const bool notContains = MatchName(entry, pattern, NameRuleMode::NotContains, caseSensitive);
    Require(contains != notContains && (!matches || contains));

    // Ignoring case only ever finds more, for a pattern of whole characters:
    // bytes of part of one may meet in a name only until its character folds.
    if (platform::IsValidUtf8(pattern)) {
        Require(!contains || MatchName(entry, pattern, NameRuleMode::Contains, false));
        Require(!matches || MatchName(entry, pattern, NameRuleMode::Matches, false));
    }

    // A name matches itself and contains every part of itself made of whole
    // characters (a part that cuts one apart may fold differently).
    Require(MatchName(entry, name, NameRuleMode::Matches, caseSensitive));
    const auto continuation = [&](size_t at) { return at < name.size() && (name[at] & 0xC0) == 0x80; };
    const size_t from = name.empty() ? 0 : static_cast<size_t>(data[0]) % name.size();
    const size_t length = std::min(pattern.size(), name.size() - from);
    if (!name.empty() && (caseSensitive || (!continuation(from) && !continuation(from + length)))) {
        const std::string part = name.substr(from, length);
        Require(MatchName(entry, part, NameRuleMode::Contains, caseSensitive) &&
                !MatchName(entry, part, NameRuleMode::NotContains, caseSensitive));
    }
    return 0;
}
