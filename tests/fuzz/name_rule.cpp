// Fuzzes the name rule: a pattern, a name and the case flag from the input,
// checked against rules that hold whatever the matcher's details.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstdint>
#include <string>

#include "find/criteria.h"
#include "fuzz_support.h"

using namespace tolvane;
using fuzz::Require;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    FuzzedDataProvider input(data, size);
    const bool caseSensitive = input.ConsumeBool();
    const std::string pattern = input.ConsumeRandomLengthString(NameTextMax + 8);
    FindData entry;
    const std::string name(fuzz::SetEntryName(entry, input.ConsumeRemainingBytesAsString()));

    const bool contains = MatchName(entry, pattern, NameRuleMode::Contains, caseSensitive);
    const bool matches = MatchName(entry, pattern, NameRuleMode::Matches, caseSensitive);
    const bool notContains = MatchName(entry, pattern, NameRuleMode::NotContains, caseSensitive);
    Require(contains != notContains);
    Require(!matches || contains);

    // Ignoring case only ever finds more.
    const bool containsAnyCase = MatchName(entry, pattern, NameRuleMode::Contains, false);
    const bool matchesAnyCase = MatchName(entry, pattern, NameRuleMode::Matches, false);
    Require(!contains || containsAnyCase);
    Require(!matches || matchesAnyCase);

    // A name matches itself and contains every part of itself.
    Require(MatchName(entry, name, NameRuleMode::Matches, caseSensitive));
    Require(MatchName(entry, "", NameRuleMode::Contains, caseSensitive));
    if (!name.empty()) {
        const size_t from = static_cast<size_t>(data[0]) % name.size();
        const std::string part = name.substr(from, pattern.size());
        Require(MatchName(entry, part, NameRuleMode::Contains, caseSensitive));
        Require(!MatchName(entry, part, NameRuleMode::NotContains, caseSensitive));
    }
    return 0;
}
