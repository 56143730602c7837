// Turning the rows of the Find filters dialog into stored rules, and the two
// filters that run while the user types a name pattern or an extension list.
#pragma once

#include <string>

#include "common/prompter.h"
#include "find/criteria.h"
#include "platform/types.h"

namespace tolvane {

// The dialog's controls as read on Accept: check boxes, combo-box item
// indexes, edit texts and the pickers' values.
struct FilterRows {
    SearchTarget searchTarget = SearchTarget::Files;  // the page's choice when the dialog opened

    bool nameChecked = false;
    int nameModeIndex = 0;
    std::string nameText{};
    bool nameCaseChecked = false;

    bool extensionChecked = false;
    int extensionModeIndex = 0;
    std::string extensionText{};

    bool contentChecked = false;
    int contentModeIndex = 0;
    std::string contentText{};
    bool contentCaseChecked = false;

    bool sizeChecked = false;
    int sizeModeIndex = 0;
    std::string sizeFromText{};
    int sizeFromUnitIndex = 0;
    std::string sizeToText{};
    int sizeToUnitIndex = 0;

    bool dateChecked = false;
    int dateKindIndex = 0;
    int dateRelationIndex = 0;
    SystemTime dateFrom{}, dateTo{};

    bool timeChecked = false;
    int timeKindIndex = 0;
    int timeRelationIndex = 0;
    SystemTime timeFrom{}, timeTo{};

    bool attributeChecked = false;
    int attributeModeIndex = 0;
};

// Stores the rows into criteria (the attribute flags are already in criteria,
// the attributes dialog writes them directly) and shows "Conflicting rules"
// when a zero size overrides the content rule.
void AcceptFilterRows(const FilterRows& rows, SearchCriteria& criteria, Prompter& prompter);

// "*Specify filters" while no rule is on, else "Specified filters".
// Orders the two bounds of a Between or NotBetween date rule by calendar date,
// the only part the rule tests (the pickers also hold a time of day, which
// would keep two bounds on one day apart), and turns Between with equal dates
// into On. Other relations are left as they are.
void OrderDateBounds(SystemTime& dateFrom, SystemTime& dateTo, DateRelation& relation);

const char* FiltersButtonCaption(const SearchCriteria& criteria);

// A size field as the dialog reads it: an unsigned number; an empty field, or
// one that is not a plain number, reads as 0.
uint64_t SizeFieldValue(const std::string& text);

// The bytes of number in unit; saturates instead of wrapping.
uint64_t SizeInBytes(uint64_t number, SizeUnit unit);

// The name edit's filter: removes the first character a file name cannot hold
// and shows the "Info" message. Returns true when it removed one; the edit then
// writes the text back and the filter runs again for the next one.
bool FilterTypedName(std::string& text, Prompter& prompter);

// The extension edit's filter: silently removes the first character that is
// never part of a list (a dot, or one a file name cannot hold), a slash at the
// start or a slash after a slash. Returns true when it removed one. A trailing
// slash stays while the user types.
bool FilterTypedExtensions(std::string& text);

// The characters a name pattern may not hold.
bool IsForbiddenNameCharacter(char c);

}  // namespace tolvane
