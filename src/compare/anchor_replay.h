// Replaying the anchor scan on a set sorted by content. The next file an
// anchor reaches is the lowest record among the files that begin with the
// current anchor's content and the files that are a beginning of it; in the
// sorted order the first are a range and the second a chain of classes, so
// the scan's groups and truncated copies come out without reading anything
// again.
#pragma once

#include <cstdint>
#include <limits>
#include <vector>

#include "compare/compare_engine.h"
#include "compare/content_sort.h"

namespace tolvane {

// Minimum over positions of the slot (= record order) not yet taken.
class MinTree {
public:
    static constexpr uint32_t None = std::numeric_limits<uint32_t>::max();

    void Reset(size_t count);
    void Set(size_t position, uint32_t value);
    uint32_t Min(size_t first, size_t last) const;

private:
    size_t size_ = 1;
    std::vector<uint32_t> tree_;
};

class AnchorReplay {
public:
    AnchorReplay(bool dontGroupTruncated, CompareLists& lists) : dontGroup_(dontGroupTruncated), lists_(lists) {}

    // Finds the groups of one sorted set and marks its truncated copies.
    void Replay(const ContentSorter& sorted);

    // Writes the groups of every set replayed, in anchor order, into list.
    void WriteGroups(GroupList& list);

private:
    // A place in the sorted order: the files of equal complete content (a class),
    // or one leaf. A class's subtree is every position from its first to
    // subtreeEnd: the files that begin with its content.
    struct Node {
        uint32_t first;
        uint32_t last;
        uint32_t subtreeEnd;
        uint32_t parent;  // the nearest class whose content is a proper beginning of this one
        uint32_t head;  // lowest position of the class not yet taken
        bool isClass;
    };

    struct PendingGroup {
        uint32_t anchor;
        uint32_t sequence;
        uint32_t begin;
        uint32_t end;
    };

    void BuildNodes();
    void Take(uint32_t position);
    uint32_t Head(Node& node);
    void MarkTruncated(uint32_t record);
    void CloseGroup(uint32_t anchor);

    const bool dontGroup_;
    CompareLists& lists_;
    const ContentSorter* sorted_ = nullptr;

    std::vector<Node> nodes_;
    std::vector<uint32_t> nodeOf_;
    std::vector<uint8_t> taken_;
    MinTree tree_;

    std::vector<uint32_t> pendingRows_;
    std::vector<PendingGroup> pending_;
    uint32_t groupBegin_ = 0;
    uint32_t sequence_ = 0;
};

}  // namespace tolvane
