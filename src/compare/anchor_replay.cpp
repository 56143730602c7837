#include "compare/anchor_replay.h"

#include <algorithm>

namespace tolvane {
namespace {

constexpr uint32_t None = MinTree::None;

}  // namespace

// Leaves at [count, 2 count), each inner node the minimum of its two
// children: the bottom-up queries need no power-of-two width.
void MinTree::Reset(size_t count)
{
    size_ = std::max<size_t>(count, 1);
    tree_.assign(2 * size_, None);
}

void MinTree::Set(size_t position, uint32_t value)
{
    size_t i = position + size_;
    tree_[i] = value;
    for (i >>= 1; i > 0; i >>= 1) tree_[i] = std::min(tree_[2 * i], tree_[2 * i + 1]);
}

uint32_t MinTree::Min(size_t first, size_t last) const
{
    uint32_t best = None;
    for (size_t l = first + size_, r = last + size_ + 1; l < r; l >>= 1, r >>= 1) {
        if (l & 1) best = std::min(best, tree_[l++]);
        if (r & 1) best = std::min(best, tree_[--r]);
    }
    return best;
}

void AnchorReplay::BuildNodes()
{
    const std::vector<Slot>& slots = sorted_->Slots();
    const std::vector<uint32_t>& order = sorted_->Order();
    const std::vector<uint64_t>& lcp = sorted_->CommonLengths();
    const uint32_t files = static_cast<uint32_t>(order.size());
    nodes_.clear();
    nodes_.reserve(files);
    nodeOf_.assign(files, None);
    std::vector<uint32_t> open;  // classes that are a beginning of the current position
    for (uint32_t p = 0; p < files; ++p) {
        const Slot& slot = slots[order[p]];
        const uint64_t size = sorted_->SizeOf(slot);
        if (p > 0) {
            while (!open.empty() && sorted_->SizeOf(slots[order[nodes_[open.back()].first]]) > lcp[p]) {
                nodes_[open.back()].subtreeEnd = p - 1;
                open.pop_back();
            }
            const uint32_t previous = nodeOf_[p - 1];
            if (slot.state == Complete && nodes_[previous].isClass &&
                sorted_->SizeOf(slots[order[p - 1]]) == size && lcp[p] == size) {
                nodeOf_[p] = previous;
                nodes_[previous].last = p;
                continue;
            }
        }
        const bool isClass = slot.state == Complete;
        nodes_.push_back(Node{p, p, p, open.empty() ? None : open.back(), p, isClass});
        nodeOf_[p] = static_cast<uint32_t>(nodes_.size() - 1);
        if (isClass) open.push_back(nodeOf_[p]);
    }
    for (uint32_t node : open) nodes_[node].subtreeEnd = files - 1;
}

void AnchorReplay::Take(uint32_t position)
{
    taken_[position] = 1;
    tree_.Set(position, None);
}

uint32_t AnchorReplay::Head(Node& node)
{
    const std::vector<uint32_t>& order = sorted_->Order();
    while (node.head <= node.last && taken_[node.head]) ++node.head;
    return node.head <= node.last ? order[node.head] : None;
}

void AnchorReplay::MarkTruncated(uint32_t record)
{
    if (!lists_.truncated[record]) {
        lists_.truncated[record] = 1;
        ++lists_.truncatedCount;
    }
}

void AnchorReplay::CloseGroup(uint32_t anchor)
{
    const uint32_t end = static_cast<uint32_t>(pendingRows_.size());
    if (end > groupBegin_) pending_.push_back({anchor, sequence_++, groupBegin_, end});
    groupBegin_ = end;
}

void AnchorReplay::Replay(const ContentSorter& sorted)
{
    sorted_ = &sorted;
    BuildNodes();
    const std::vector<Slot>& slots = sorted.Slots();
    const std::vector<uint32_t>& order = sorted.Order();
    const uint32_t files = static_cast<uint32_t>(order.size());
    std::vector<uint32_t> positionOf(files);
    for (uint32_t p = 0; p < files; ++p) positionOf[order[p]] = p;
    taken_.assign(files, 0);
    tree_.Reset(files);
    for (uint32_t p = 0; p < files; ++p) tree_.Set(p, order[p]);

    for (uint32_t anchorSlot = 0; anchorSlot < files; ++anchorSlot) {
        if (taken_[positionOf[anchorSlot]]) continue;
        Take(positionOf[anchorSlot]);
        const uint32_t anchorRecord = slots[anchorSlot].record;
        uint32_t current = nodeOf_[positionOf[anchorSlot]];
        uint32_t i = anchorRecord;
        groupBegin_ = static_cast<uint32_t>(pendingRows_.size());
        for (;;) {
            const Node& node = nodes_[current];
            uint32_t next = node.isClass ? tree_.Min(node.first, node.subtreeEnd) : None;
            bool beginning = false;
            for (uint32_t up = node.parent; up != None; up = nodes_[up].parent) {
                const uint32_t head = Head(nodes_[up]);
                if (head < next) {
                    next = head;
                    beginning = true;
                }
            }
            if (next == None) break;
            const uint32_t position = positionOf[next];
            Take(position);
            const uint32_t j = slots[next].record;
            const size_t rowsInGroup = pendingRows_.size() - groupBegin_;
            if (nodeOf_[position] == current || beginning) {
                // An exact duplicate of the anchor, or a truncated copy of it.
                if (beginning) {
                    MarkTruncated(j);
                    if (dontGroup_) continue;
                }
                if (rowsInGroup == 0) pendingRows_.push_back(i);
                pendingRows_.push_back(j);
                continue;
            }
            // The anchor is a truncated copy of j, which becomes the anchor.
            MarkTruncated(i);
            if (!dontGroup_) {
                if (rowsInGroup == 0) {
                    pendingRows_.push_back(j);
                    pendingRows_.push_back(i);
                } else {
                    pendingRows_[groupBegin_] = j;
                    for (size_t r = groupBegin_ + 1; r < pendingRows_.size(); ++r) MarkTruncated(pendingRows_[r]);
                    pendingRows_.push_back(i);
                }
            } else if (rowsInGroup > 0) {
                // The open group holds the old anchor's duplicates: the new
                // anchor's duplicates start a group of their own.
                CloseGroup(anchorRecord);
            }
            i = j;
            current = nodeOf_[position];
        }
        CloseGroup(anchorRecord);
    }
}

void AnchorReplay::WriteGroups(GroupList& list)
{
    std::sort(pending_.begin(), pending_.end(), [](const PendingGroup& x, const PendingGroup& y) {
        return x.anchor != y.anchor ? x.anchor < y.anchor : x.sequence < y.sequence;
    });
    uint32_t group = 0;
    for (const PendingGroup& p : pending_) {
        ++group;
        for (uint32_t r = p.begin; r < p.end; ++r) {
            list.rows.push_back(pendingRows_[r]);
            list.groups.push_back(group);
        }
    }
}

}  // namespace tolvane
