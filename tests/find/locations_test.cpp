#include "find/locations.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
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

// A shown message as (text, caption, style), to compare in one go.
using Shown = std::tuple<std::string, std::string, unsigned>;
Shown Said(const test::ShownMessage& m) { return {m.text, m.caption, m.style}; }

// Joins names with the system's path separator.
std::string P(std::initializer_list<std::string_view> names)
{
    std::string path;
    for (std::string_view name : names) {
        if (!path.empty()) path += platform::PathSeparator;
        path += name;
    }
    return path;
}

// The items in the list box's order.
Items Sorted(Items items)
{
    std::stable_sort(items.begin(), items.end(), [](const std::string& a, const std::string& b) { return LocationOrderLess(a, b); });
    return items;
}

LocationsEditor EditorWith(const Items& paths, bool includeSubfolders = false)
{
    LocationList stored;
    stored.locationPaths = paths;
    stored.includeSubfolders = includeSubfolders;
    return LocationsEditor(stored);
}

TEST(LocationBox, KeepsTheCaseInsensitiveOrderOfASortedListBox)
{
    LocationBox box;
    for (const char* path : {"b", "A", "a", "C", "ab", "\xE9t\xE9", "z", "Data\\Old", "Data 2", "Data"}) box.Add(path);
    // Equal ignoring case: the later one goes after. A blank sorts before a
    // backslash, and bytes above 127 after every letter.
    EXPECT_EQ(box.Items(), (Items{"A", "a", "ab", "b", "C", "Data", "Data 2", "Data\\Old", "z", "\xE9t\xE9"}));

    box.Remove({5, 0, 5, 42, -1});
    EXPECT_EQ(box.Items(), (Items{"a", "ab", "b", "C", "Data 2", "Data\\Old", "z", "\xE9t\xE9"}));
}

TEST(NormalizeLocations, RemovesDuplicatesAndWithSubfoldersTheFoldersInsideOthers)
{
    const std::string data = P({"C:", "Data"});
    const std::string old = P({"C:", "Data", "Old"});
    const std::string deeper = P({"C:", "Data", "Old", "x"});
    const std::string datax = P({"C:", "Datax"});  // sorts after the folders inside C:\Data

    LocationsEditor editor = EditorWith({data, old, deeper, datax});
    editor.Add(data);
    EXPECT_EQ(editor.Box().Items(), Sorted({data, old, deeper, datax}));
    editor.SetIncludeSubfolders(true);
    EXPECT_EQ(editor.Box().Items(), Sorted({data, datax}));
    editor.SetIncludeSubfolders(false);
    editor.Add(old);
    EXPECT_EQ(editor.Box().Items(), Sorted({data, old, datax}));

    // Only neighbours are compared: a sibling sorted in between, or a case
    // variant between two equal paths, keeps them apart; a folder given with
    // its trailing separator absorbs nothing.
    const std::string data2Blank = P({"C:", "Data 2"});
    LocationsEditor sibling = EditorWith({data, data2Blank, old}, true);
    sibling.Add(data);
    EXPECT_EQ(sibling.Box().Items(), (Items{data, data2Blank, old}));
    const std::string upper = P({"C:", "DATA"});
    LocationsEditor variant = EditorWith({data, upper});
    variant.Add(data);
    EXPECT_EQ(variant.Box().Items(), (Items{data, upper, data}));
    LocationsEditor root = EditorWith({P({"C:", ""}), P({"C:", "x"})}, true);
    root.SetIncludeSubfolders(true);
    EXPECT_EQ(root.Box().Count(), 2);
}

TEST(LocationsEditor, DeleteAsksFirstAndClearsOnlyWhenNothingIsSelected)
{
    LocationsEditor editor = EditorWith({"a", "b", "c", "d"});
    ScriptedPrompter prompter;
    editor.Delete({1, 3}, prompter);  // answered No by default
    EXPECT_EQ(editor.Box().Count(), 4);
    prompter.Answer(IdYes);
    editor.Delete({1, 3}, prompter);
    EXPECT_EQ(editor.Box().Items(), (Items{"a", "c"}));
    EXPECT_EQ(Said(prompter.shown.at(1)), Shown("Remove selected item(s)?", "Confirm", MbQuestion));

    editor.Delete({}, prompter);
    EXPECT_EQ(editor.Box().Count(), 2);
    prompter.Answer(IdYes);
    editor.Delete({}, prompter);
    EXPECT_TRUE(editor.Box().Empty());
    EXPECT_EQ(Said(prompter.shown.back()), Shown("No items selected. Do you want to clear the box?", "Removing", MbQuestion));
}

TEST(LocationsEditor, AcceptStoresTheListAndDiscardLeavesItAlone)
{
    LocationList stored;
    ScriptedPrompter prompter;
    {
        LocationsEditor editor(stored);
        editor.Add("b");
        editor.Add("A");
        editor.SetIncludeSubfolders(true);
        EXPECT_EQ(editor.Accept(stored, prompter), "Specified locations");
    }
    EXPECT_EQ(stored.locationPaths, (Items{"A", "b"}));
    EXPECT_EQ(stored.locationCount, 2);
    EXPECT_TRUE(stored.locationsSpecified);
    EXPECT_TRUE(stored.includeSubfolders);

    LocationsEditor(stored).Add("c");  // discarded: the edits go with the editor
    EXPECT_EQ(stored.locationCount, 2);

    LocationsEditor emptied(stored);
    prompter.Answer(IdYes);
    emptied.Delete({}, prompter);
    EXPECT_EQ(emptied.Accept(stored, prompter), "*Specify locations");
    EXPECT_EQ(stored.locationCount, 0);
    EXPECT_FALSE(stored.locationsSpecified);
}

TEST(LocationsFile, SavedListLoadsBackAndDroppedFilesAreIgnored)
{
    TempFolder temp;
    for (const char* name : {"one", "Two", "three"}) temp.MakeFolder(name);
    const std::string file = temp.WriteFile("note.txt", "x");

    LocationsEditor editor = EditorWith({});
    EXPECT_FALSE(editor.AddDropped(file));
    EXPECT_FALSE(editor.AddDropped(temp.PathOf("missing")));
    for (const char* name : {"one", "Two", "three"}) EXPECT_TRUE(editor.AddDropped(temp.PathOf(name)));
    ASSERT_EQ(editor.Box().Count(), 3);

    ScriptedPrompter prompter;
    const std::string listFile = temp.PathOf("list.txt");
    EXPECT_EQ(editor.Save(prompter, [&] { return std::optional(listFile); }), LocationsFileResult::Done);
    std::string expected;
    for (const char* name : {"one", "three", "Two"}) expected += temp.PathOf(name) + std::string(platform::TextLineEnd);
    EXPECT_EQ(test::ReadWholeFile(listFile), expected);
    EXPECT_EQ(Said(prompter.shown.at(0)), Shown("The locations list successfully saved.", "Done", MbOk));

    LocationsEditor loaded = EditorWith({});
    EXPECT_EQ(loaded.Load(listFile, prompter), LocationsFileResult::Done);
    EXPECT_EQ(loaded.Box().Items(), editor.Box().Items());
    EXPECT_EQ(prompter.shown.size(), 1u);

    // Saved in UTF-8; an earlier version's file in Windows-1252 still loads.
    const std::string greek = temp.Path() + "\xCE\xB1\xCE\xB2", cafe = temp.Path() + "Caf\xC3\xA9";
    ASSERT_TRUE(platform::CreateFolder(greek) && platform::CreateFolder(cafe));
    EXPECT_EQ(EditorWith({greek}).Save(prompter, [&] { return std::optional(listFile); }), LocationsFileResult::Done);
    EXPECT_EQ(test::ReadWholeFile(listFile), greek + std::string(platform::TextLineEnd));
    LocationsEditor legacy = EditorWith({});
    EXPECT_EQ(legacy.Load(temp.WriteFile("old.txt", temp.Path() + "Caf\xE9\r\n"), prompter), LocationsFileResult::Done);
    EXPECT_EQ(legacy.Box().Items(), (Items{cafe}));
}

TEST(LocationsFile, SaveRefusesABlankListAndReportsFailures)
{
    TempFolder temp;
    ScriptedPrompter prompter;
    bool asked = false;
    EXPECT_EQ(EditorWith({}).Save(prompter, [&] { asked = true; return std::optional(temp.PathOf("x.txt")); }),
              LocationsFileResult::NothingToSave);
    EXPECT_FALSE(asked);
    EXPECT_EQ(Said(prompter.shown.at(0)), Shown("The locations list is blank.", "Nothing to save", MbOk));

    const LocationsEditor editor = EditorWith({temp.Path()});
    EXPECT_EQ(editor.Save(prompter, [] { return std::optional<std::string>(); }), LocationsFileResult::Cancelled);
    EXPECT_EQ(prompter.shown.size(), 1u);

    EXPECT_EQ(editor.Save(prompter, [&] { return std::optional(temp.PathOf("no/such/x.txt")); }), LocationsFileResult::Failed);
    EXPECT_EQ(Said(prompter.shown.back()), Shown("New file creation failed.", "Aborted", MbIconHand));

    for (const test::VolumeFault fault : {test::VolumeFault::Full, test::VolumeFault::LateClose}) {
        const std::string folder = fault == test::VolumeFault::Full ? "full" : "late";
        test::FaultyVolume volume(temp.MakeFolder(folder), fault);
        if (!volume.Mounted()) continue;
        EXPECT_EQ(editor.Save(prompter, [&] { return std::optional(temp.PathOf(folder + "/x.txt")); }),
                  LocationsFileResult::Failed);
        EXPECT_EQ(prompter.shown.back().caption, "Operation failed");
        EXPECT_FALSE(prompter.shown.back().text.empty());
    }
}

TEST(LocationsFile, LoadTakesOnlyCompleteLinesNamingExistingFolders)
{
    TempFolder temp;
    for (const char* name : {"crlf", "lf", "tail", "last"}) temp.MakeFolder(name);
    const std::string crlf = temp.PathOf("crlf"), lf = temp.PathOf("lf"), tail = temp.PathOf("tail"), last = temp.PathOf("last");
    const std::string file = temp.WriteFile("file.txt", "x");

    std::string content = crlf + "\r\n\n\r\n" + lf + "\n";
    content += std::string(300, 'a') + "\n";
    // A line longer than the buffer is dropped whole, even when its tail
    // names a folder.
    content += std::string(platform::PathTextBufferSize, 'b') + tail + "\n";
    content += file + "\n" + temp.PathOf("gone") + "\r\n";
    content += last;  // no line end
    const std::string listFile = temp.WriteFile("list.txt", content);

    LocationsEditor editor = EditorWith({lf, "kept"});
    ScriptedPrompter prompter;
    EXPECT_EQ(editor.Load(listFile, prompter), LocationsFileResult::Done);
    const Items expected = Sorted({crlf, lf, "kept"});
    EXPECT_EQ(editor.Box().Items(), expected);
    EXPECT_TRUE(prompter.shown.empty());

    // A path of more than 260 bytes, with either line end.
    std::string deep = temp.Path() + std::string(200, 'L');
    ASSERT_TRUE(platform::CreateFolder(deep));
    deep += platform::PathSeparator + std::string(200, 'M');
    ASSERT_TRUE(platform::CreateFolder(deep));
    LocationsEditor fits = EditorWith({});
    fits.Load(temp.WriteFile("deep.txt", deep + "\r\n" + deep + "\n"), prompter);
    EXPECT_EQ(fits.Box().Items(), (Items{deep}));

    EXPECT_EQ(editor.Load(temp.PathOf("none.txt"), prompter), LocationsFileResult::Failed);
    ASSERT_EQ(prompter.shown.size(), 1u);
    EXPECT_EQ(Said(prompter.shown[0]), Shown("Cannot open the file.", "Aborted", MbIconHand));
    EXPECT_EQ(editor.Box().Items(), expected);
}

}  // namespace
}  // namespace tolvane
