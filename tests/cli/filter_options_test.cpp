// The rule options' readers.
#include "cli/filter_options.h"

#include <gtest/gtest.h>

#include <cstring>

#include "platform/text.h"

namespace tolvane::test {
namespace {

// The extension option holds the list the dialog's edit would hold, lower-cased
// as names are when they are matched, so a list always matches the names it names.
TEST(ExtensionOption, IsTheListTheEditWouldHold)
{
    EXPECT_EQ(cli::ParseExtensionOption(".JPG//Png/"), "jpg/png");
    FindData entry;
    std::strcpy(entry.cFileName, "photo.JP\xC4");
    EXPECT_EQ(cli::ParseExtensionOption("JP\xC4"), std::string("jp") + platform::LowerAnsi('\xC4'));
    EXPECT_TRUE(MatchExtensions(entry, cli::ParseExtensionOption("png/JP\xC4"), ExtensionRuleMode::IncludeTypes));
}

}  // namespace
}  // namespace tolvane::test
