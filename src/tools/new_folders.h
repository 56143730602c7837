// New Folders: the names of a lettered or numbered series of sibling folders,
// the checks of the prefix and suffix texts, and the creation of the series.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "common/prompter.h"

namespace tolvane {

// Sequence types, as the items of the "Sequence type" list.
inline constexpr int SequenceUpperCase = 0;  // "Alphabetic upper case A-Z"
inline constexpr int SequenceLowerCase = 1;  // "Alphabetic lower case a-z"
inline constexpr int SequenceNumbers = 2;    // "Arithmetic from 1 to"

// The count list holds "10", "20" ... "100": item i means 10 * (i + 1).
inline constexpr int CountItems = 10;
inline constexpr int NoCountSelected = -1;

// Parent folder, prefix and suffix together stay below this many characters
// while the user types.
inline constexpr size_t NameTextLengthLimit = 200;

inline constexpr char ForbiddenNameCharacters[] = "\\/:*?\"<>|";
inline constexpr char ForbiddenCharactersMessage[] =
    "Names cannot contain any of the following characters:\n\\ / : * ? \" < > |";

struct NewFoldersSettings {
    std::string parentFolder;
    int sequenceType = SequenceUpperCase;
    int countIndex = 0;  // NoCountSelected (or any index outside the list) means a count of 1
    bool leadingZeros = false;
    std::string prefix;
    std::string suffix;
};

// 26 for letters, else the chosen count.
int FolderCount(const NewFoldersSettings& settings);
// The folder names in creation order, without the parent.
std::vector<std::string> FolderNames(const NewFoldersSettings& settings);
// The full path of each folder: the parent, one separator, the name.
std::vector<std::string> FolderPaths(const NewFoldersSettings& settings);
// The first folder's name.
std::string PreviewName(const NewFoldersSettings& settings);

bool HasForbiddenCharacter(const std::string& text);

// Checks a prefix or suffix box after an edit and returns the text the box
// should hold: the first forbidden character removed (with the "Info"
// message), then, when parent, prefix and suffix reach the length limit, the
// last character removed. A paste that makes the folder paths too long for
// the system is refused: the box gets back acceptedText, the text it held
// before the edit, and the user is told why.
std::string CheckNameText(const std::string& text, const std::string& acceptedText, size_t parentLength,
                          size_t otherTextLength, Prompter& prompter);

// Creates the folders in order and stops at the first failure ("Cannot create
// directory" with the system's message); folders already created stay. True
// when every folder was created ("Folders created!").
bool CreateFolders(const NewFoldersSettings& settings, Prompter& prompter);

}  // namespace tolvane
