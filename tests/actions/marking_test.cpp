#include "actions/marking.h"

#include <gtest/gtest.h>

#include "target_list.h"

namespace tolvane {
namespace {

using test::TargetList;
using Folders = std::vector<std::string>;

TEST(MarkByPath, OffersFoldersInRowOrderWithNeighbouringRepeatsOnce)
{
    // Records 0-1 in a\, 2 in A\, 3-4 in b\; the rows show them as a grouped
    // list would: a\, a\, b\, A\, b\, a\.
    TargetList t({{"a\\", "1"}, {"a\\", "2"}, {"A\\", "3"}, {"b\\", "4"}, {"b\\", "5"}}, {0, 1, 3, 2, 4, 0});
    EXPECT_EQ(FoldersToOffer(t.target), (Folders{"a\\", "b\\", "A\\", "b\\", "a\\"}));

    TargetList empty({});
    EXPECT_TRUE(FoldersToOffer(empty.target).empty());
}

TEST(MarkByPath, MarksExactlyTheRowsOfTheChosenFolders)
{
    TargetList t({{"a\\", "1"}, {"A\\", "2"}, {"a\\sub\\", "3"}, {"b\\", "4"}, {"a\\", "5"}}, {4, 3, 2, 1, 0});
    t.list.SetStateImage(1, StateImageMarked);  // earlier marks are replaced
    t.list.SetStateImage(2, StateImageNone);
    MarkByPath(t.target, {"a\\"});
    EXPECT_EQ(t.MarkedRows(), (std::vector<int>{0, 4}));

    MarkByPath(t.target, {"A\\", "b\\"});
    EXPECT_EQ(t.MarkedRows(), (std::vector<int>{1, 3}));

    MarkByPath(t.target, {});
    EXPECT_TRUE(t.MarkedRows().empty());
}

}  // namespace
}  // namespace tolvane
