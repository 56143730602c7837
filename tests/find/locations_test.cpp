#include "find/locations.h"

#include <gtest/gtest.h>

#include <tuple>

#include "platform/file_ops.h"
#include "platform/path.h"
#include "platform/text.h"
#include "support/faulty_volume.h"
#include "support/scripted_prompter.h"
#include "support/temp_folder.h"

namespace tolvane {
namespace {

using test::ScriptedPrompter;
using test::TempFolder;
using Items = std::vector<std::string>;

// A new folder's path without its trailing separator, as the folder picker gives it
// (made through the platform layer, which takes UTF-8 names).
std::string Folder(const TempFolder& temp, std::string_view name)
{
    EXPECT_TRUE(platform::CreateFolder(temp.PathOf(name))) << name;
    return temp.PathOf(name);
}

LocationsEditor EditorWith(const Items& paths, bool includeSubfolders = false)
{
    return LocationsEditor(LocationList{paths, false, 0, includeSubfolders});
}

TEST(LocationBox, KeepsTheCaseInsensitiveOrderOfASortedListBox)
{
    LocationBox box;
    for (const char* path : {"b", "A", "a", "C", "ab", "\xE9t\xE9", "z", "Data\\Old", "Data 2", "Data"}) box.Add(path);
    // Equal ignoring case: the later one goes after, so position 0 is "A" and 5 is "Data". A blank sorts before
    // a backslash, and bytes above 127 after every letter. Repeated or out-of-range positions are ignored.
    box.Remove({5, 0, 5, 42, -1});
    EXPECT_EQ(box.Items(), (Items{"a", "ab", "b", "C", "Data 2", "Data\\Old", "z", "\xE9t\xE9"}));
}

TEST(NormalizeLocations, RemovesDuplicatesAndWithSubfoldersTheFoldersInsideOthers)
{
    const std::string separator(1, platform::PathSeparator);
    const std::string root = "C:" + separator;
    const std::string data = root + "Data", old = data + separator + "Old", deeper = old + separator + "x";
    const std::string datax = root + "Datax";  // sorts after the folders inside C:\Data
    LocationsEditor editor = EditorWith({data, old, deeper, datax});
    editor.SetIncludeSubfolders(true);
    EXPECT_EQ(editor.Box().Items(), (Items{data, datax}));
    editor.SetIncludeSubfolders(false);
    editor.Add(old);
    EXPECT_EQ(editor.Box().Items(), (Items{data, old, datax}));

    // Only neighbours are compared: a sibling sorted in between, or a case
    // variant between two equal paths, keeps them apart; a folder given with
    // its trailing separator absorbs nothing. The first item is added again.
    const std::string blank = root + "Data 2", upper = root + "DATA", x = root + "x";
    const struct { Items given; bool subfolders; Items kept; } cases[] = {
        {{data, blank, old}, true, {data, blank, old}}, {{data, upper}, false, {data, upper, data}}, {{root, x}, true, {root, x}}};
    for (const auto& c : cases) {
        LocationsEditor again = EditorWith(c.given, c.subfolders);
        again.Add(c.given[0]);
        EXPECT_EQ(again.Box().Items(), c.kept) << c.given[1];
    }
}

TEST(LocationsEditor, DeleteAsksFirstAndAcceptStoresTheList)
{
    LocationList stored;
    LocationsEditor editor = EditorWith({"a", "b", "c", "d", "C"}, true);
    ScriptedPrompter prompter;
    editor.Delete({1, 3}, prompter);  // answered No by default
    prompter.Answer(IdYes);
    editor.Delete({1, 3}, prompter);
    EXPECT_EQ(prompter.shown.at(1).style, MbQuestion);
    editor.Accept(stored, prompter);
    EXPECT_EQ(std::tuple(stored.locationPaths, stored.locationCount, stored.locationsSpecified, stored.includeSubfolders),
              std::tuple(Items{"a", "c", "d"}, 3, true, true));
    LocationsEditor(stored).Add("e");  // discarded: the edits go with the editor

    LocationsEditor emptied(stored);
    emptied.Delete({}, prompter);
    EXPECT_EQ(emptied.Box().Count(), 3);
    prompter.Answer(IdYes);
    emptied.Delete({}, prompter);
    emptied.Accept(stored, prompter);
    EXPECT_EQ(std::tuple(stored.locationCount, stored.locationsSpecified), std::tuple(0, false));
}

// Saved in UTF-8, sorted, one path a line; an earlier version's file in
// Windows-1252 still loads; dropped files and missing paths are ignored. A
// blank list is not saved, and no file is asked for. A load takes only
// complete lines that name existing folders.
TEST(LocationsFile, SavedListLoadsBackFailuresAreReportedAndOnlyCompleteLinesNamingFoldersLoad)
{
    TempFolder temp;
    LocationsEditor editor = EditorWith({});
    EXPECT_FALSE(editor.AddDropped(temp.WriteFile("note.txt", "x")) || editor.AddDropped(temp.PathOf("missing")));
    for (const char* name : {"one", "Two", "\xCE\xB1\xCE\xB2"}) EXPECT_TRUE(editor.AddDropped(Folder(temp, name)));
    ScriptedPrompter prompter;
    const std::string listFile = temp.PathOf("list.txt");
    EXPECT_EQ(editor.Save(prompter, [&] { return std::optional(listFile); }), LocationsFileResult::Done);
    std::string expected;
    for (const char* name : {"one", "Two", "\xCE\xB1\xCE\xB2"}) (expected += temp.PathOf(name)) += platform::TextLineEnd;
    EXPECT_EQ(test::ReadWholeFile(listFile), expected);

    LocationsEditor loaded = EditorWith({});
    EXPECT_EQ(loaded.Load(listFile, prompter), LocationsFileResult::Done);
    EXPECT_EQ(loaded.Box().Items(), editor.Box().Items());
    const std::string cafe = Folder(temp, "Caf\xC3\xA9");
    LocationsEditor legacy = EditorWith({});
    EXPECT_EQ(legacy.Load(temp.WriteFile("old.txt", temp.Path() + "Caf\xE9\r\n"), prompter), LocationsFileResult::Done);
    EXPECT_EQ(legacy.Box().Items(), (Items{cafe}));
    EXPECT_EQ(prompter.shown.size(), 1u);

    bool asked = false;
    EXPECT_EQ(EditorWith({}).Save(prompter, [&] { asked = true; return std::optional(temp.PathOf("x.txt")); }),
              LocationsFileResult::NothingToSave);
    EXPECT_FALSE(asked);
    EXPECT_EQ(editor.Save(prompter, [] { return std::optional<std::string>(); }), LocationsFileResult::Cancelled);
    EXPECT_EQ(editor.Save(prompter, [&] { return std::optional(temp.PathOf("no/such/x.txt")); }), LocationsFileResult::Failed);
    EXPECT_EQ(prompter.shown.size(), 3u);  // saved, nothing to save, and the failure

    for (const test::VolumeFault fault : {test::VolumeFault::Full, test::VolumeFault::LateClose}) {
        const std::string folder = fault == test::VolumeFault::Full ? "full" : "late";
        test::FaultyVolume volume(temp.MakeFolder(folder), fault);
        if (!volume.Mounted()) continue;
        EXPECT_EQ(editor.Save(prompter, [&] { return std::optional(temp.PathOf(folder + "/x.txt")); }), LocationsFileResult::Failed);
        EXPECT_FALSE(prompter.shown.back().text.empty());
    }

    const std::string crlf = Folder(temp, "crlf"), lf = Folder(temp, "lf"), tail = Folder(temp, "tail"), last = Folder(temp, "last");
    // A line longer than the buffer is dropped whole, even when its tail names
    // a folder; so are files, missing folders and a last line with no end.
    const std::string lines = temp.WriteFile("lines.txt", crlf + "\r\n\n\r\n" + lf + "\n" + std::string(300, 'a') + "\n" +
                                                                std::string(platform::PathTextBufferSize, 'b') + tail + "\n" +
                                                                temp.WriteFile("file.txt", "x") + "\n" + temp.PathOf("gone") + "\r\n" + last);
    LocationsEditor merged = EditorWith({lf, "kept"});
    ScriptedPrompter loading;
    EXPECT_EQ(merged.Load(lines, loading), LocationsFileResult::Done);
    EXPECT_EQ(merged.Box().Items(), (Items{crlf, lf, "kept"}));  // a path's first byte, '/' or 'C', sorts before 'k'
    EXPECT_TRUE(loading.shown.empty());

    // A path of more than 260 bytes, with either line end.
    const std::string deep = temp.PathOf(std::string(200, 'L')) + platform::PathSeparator + std::string(200, 'M');
    ASSERT_TRUE(platform::CreateFolder(temp.PathOf(std::string(200, 'L'))) && platform::CreateFolder(deep));
    LocationsEditor fits = EditorWith({});
    fits.Load(temp.WriteFile("deep.txt", deep + "\r\n" + deep + "\n"), loading);
    EXPECT_EQ(fits.Box().Items(), (Items{deep}));

    EXPECT_EQ(merged.Load(temp.PathOf("none.txt"), loading), LocationsFileResult::Failed);
    EXPECT_EQ(loading.shown.size(), 1u);
    EXPECT_EQ(merged.Box().Count(), 3);
}

}  // namespace
}  // namespace tolvane
