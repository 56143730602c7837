#include "actions/marking.h"

#include <gtest/gtest.h>

#include "file_action_fixture.h"

namespace tolvane {
namespace {

using test::Named;
using test::TargetList;
using Folders = std::vector<std::string>;

// The rows show the folders as a grouped list would; earlier marks are replaced.
TEST(MarkByPath, OffersFoldersInRowOrderWithNeighbouringRepeatsOnceAndMarksTheirRows)
{
    TargetList t(Named({{"a\\", "1"}, {"a\\", "2"}, {"A\\", "3"}, {"b\\", "4"}, {"a\\sub\\", "5"}}), {0, 1, 3, 2, 3, 4, 0});
    EXPECT_EQ(FoldersToOffer(t.target), (Folders{"a\\", "b\\", "A\\", "b\\", "a\\sub\\", "a\\"}));
    EXPECT_TRUE(FoldersToOffer(TargetList(test::Entries{}).target).empty());
    t.list.SetStateImage(2, StateImageMarked);
    for (const auto& [chosen, rows] : {std::pair<Folders, const char*>{{"a\\"}, "1* 2* 4 3 4 5 1*"}, {{"A\\", "b\\"}, "1 2 4* 3* 4* 5 1"}, {{}, "1 2 4 3 4 5 1"}}) {
        MarkByPath(t.target, chosen);
        EXPECT_EQ(t.Rows(), rows);
    }
}

}  // namespace
}  // namespace tolvane
