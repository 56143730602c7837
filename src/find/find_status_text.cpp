#include "find/find_status_text.h"

#include <cstdio>

namespace tolvane {
namespace {

// "%i.%i sec.": whole seconds and one truncated tenth.
std::string SecondsText(uint32_t elapsedMs)
{
    char text[32];
    std::snprintf(text, sizeof text, "%u.%u sec.", elapsedMs / 1000, elapsedMs % 1000 / 100);
    return text;
}

}  // namespace

std::string FindStatusText(const FindState& state, FindStatusEvent event)
{
    const int32_t files = state.foundFileCount.load();
    const int32_t folders = state.foundFolderCount.load();
    const bool somethingFound = files != 0 || folders != 0;
    const bool stopped = state.stopRequested.load();
    const std::string seconds = SecondsText(state.elapsedMs.load());

    std::string text;
    switch (event) {
    case FindStatusEvent::Progress: text = "Searching..."; break;
    case FindStatusEvent::TraversalDone:
        if (stopped)
            text = "Search procedure aborted after " + seconds + (somethingFound ? " Writing result..." : "");
        else
            text = "Search procedure finished in " + seconds + (somethingFound ? "  Writing result..." : "");
        break;
    case FindStatusEvent::Final:
        text = (stopped ? "Search procedure aborted after " : "Search procedure finished in ") + seconds;
        break;
    }
    text += '\n';

    char counts[96];
    if (!somethingFound)
        std::snprintf(counts, sizeof counts, "Nothing matched your criteria");
    else if (state.criteria.searchTarget == SearchTarget::Folders)
        std::snprintf(counts, sizeof counts, "%i folders matched your criteria", folders);
    else if (state.criteria.searchTarget == SearchTarget::FilesAndFolders)
        std::snprintf(counts, sizeof counts, "%i files and %i folders matched your criteria", files, folders);
    else
        std::snprintf(counts, sizeof counts, "%i files matched your criteria", files);
    return text + counts;
}

}  // namespace tolvane
