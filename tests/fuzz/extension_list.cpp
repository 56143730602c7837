// Fuzzes the extension rule against rules that hold whatever the matcher's details.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstdint>
#include <string>

#include "find/criteria.h"
#include "fuzz_support.h"
#include "support/temp_folder.h"
#include "platform/text.h"

using namespace tolvane;
using fuzz::Require;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    FuzzedDataProvider input(data, size);
    const std::string list = input.ConsumeRandomLengthString(ExtensionListMax + 8);
    const std::string extra = input.ConsumeRandomLengthString(16);
    const FindData entry = test::NamedEntry(input.ConsumeRemainingBytesAsString());
    const std::string name = entry.cFileName;

    const bool included = MatchExtensions(entry, list, ExtensionRuleMode::IncludeTypes);
    Require(included != MatchExtensions(entry, list, ExtensionRuleMode::ExcludeTypes) &&
            !MatchExtensions(entry, "", ExtensionRuleMode::IncludeTypes));

    // One more entry, at either end, never loses a match.
    Require(!included || (MatchExtensions(entry, list + "/" + extra, ExtensionRuleMode::IncludeTypes) &&
                          MatchExtensions(entry, extra + "/" + list, ExtensionRuleMode::IncludeTypes)));

    // The name's own extension, lower-cased, is found wherever it stands.
    const size_t dot = name.rfind('.');
    if (dot != std::string::npos && dot + 1 < name.size()) {
        std::string extension = name.substr(dot + 1);
        if (extension.find('/') == std::string::npos) {
            for (char& c : extension) c = platform::LowerAnsi(c);
            Require(MatchExtensions(entry, extension, ExtensionRuleMode::IncludeTypes));
            Require(!MatchExtensions(entry, list + "/" + extension, ExtensionRuleMode::ExcludeTypes));
        }
    }
    return 0;
}
