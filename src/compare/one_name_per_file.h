// Two names of one file (hard links, or one file reached through a folder
// mounted twice) hold equal content but are no copies: deleting one frees
// nothing and may delete the only copy. The candidate sets of a content
// comparison keep one name of each file, and so do the groups of a combined
// list that equal size and name alone made.
#pragma once

#include <cstdint>
#include <vector>

#include "common/file_records.h"
#include "compare/compare_engine.h"

namespace tolvane {

// Sets as the engine holds them: set s is members[ends[s-1] .. ends[s]), each
// in record order. Keeps the first record of each file identity in every set
// (a record whose identity cannot be read stays), and drops the sets left
// with fewer than two records. Identities are read only for the sets that
// hold a record that may have other names.
void KeepOneNamePerFile(const FileRecords& records, ContentSource& source, std::vector<uint32_t>& members,
                        std::vector<uint32_t>& ends);

// The same for a finished list (each group's rows together, numbered from 1):
// groups left with fewer than two rows are dropped and the rest renumbered.
void KeepOneNamePerFile(const FileRecords& records, ContentSource& source, GroupList& list);

}  // namespace tolvane
