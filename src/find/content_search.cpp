#include "find/content_search.h"

#include <algorithm>
#include <cstring>
#include <new>

#include "common/constants.h"
#include "platform/error.h"
#include "platform/fs.h"

namespace tolvane {
namespace {

// How common a byte tends to be in files people search: blanks, line ends
// and lower-case letters most, then digits, punctuation and capitals; other
// control bytes and the upper half least. memchr stops least often on a rare byte.
int Commonness(unsigned char c)
{
    static constexpr char LettersByFrequency[] = "etaoinshrdlcumwfgypbvkjxqz";
    if (c == ' ') return 300;
    if (c == '\n' || c == '\r' || c == '\t') return 250;
    if (const char* letter = std::strchr(LettersByFrequency, c); letter && c != 0)
        return 200 - static_cast<int>(letter - LettersByFrequency);
    if (c >= '0' && c <= '9') return 120;
    if (std::strchr(".,;:-_'\"()/=<>", c) && c != 0) return 110;
    if (c >= 'A' && c <= 'Z') return 100;
    if (c >= 0x20 && c < 0x7F) return 80;
    if (c == 0) return 60;
    return 10;
}

bool IsLowerLetter(unsigned char c) { return static_cast<unsigned char>(c - 'a') < 26; }

unsigned char Folded(unsigned char c) { return static_cast<unsigned char>(c - 'A') < 26 ? c + 32 : c; }

// The first b in [from, end), or null.
const unsigned char* Next(const unsigned char* from, const unsigned char* end, unsigned char b)
{
    return from < end ? static_cast<const unsigned char*>(std::memchr(from, b, static_cast<size_t>(end - from)))
                      : nullptr;
}

}  // namespace

TextFinder::TextFinder(std::string_view text, bool anyCase) : text_(text), anyCase_(anyCase)
{
    // A letter found in either case costs two scans: its commonness counts twice.
    const auto cost = [this](char c) {
        const auto b = static_cast<unsigned char>(c);
        return anyCase_ && IsLowerLetter(b) ? 2 * Commonness(b) : Commonness(b);
    };
    for (size_t i = 1; i < text_.size(); ++i) {
        if (cost(text_[i]) < cost(text_[anchor_])) anchor_ = i;
    }
}

bool TextFinder::MatchesAt(const unsigned char* at) const
{
    if (!anyCase_) return std::memcmp(at, text_.data(), text_.size()) == 0;
    for (size_t i = 0; i < text_.size(); ++i) {
        if (Folded(at[i]) != static_cast<unsigned char>(text_[i])) return false;
    }
    return true;
}

bool TextFinder::FoundIn(const unsigned char* data, size_t size) const
{
    const size_t length = text_.size();
    if (length == 0 || size < length) return false;
    const auto anchorByte = static_cast<unsigned char>(text_[anchor_]);
    const unsigned char otherCase = anyCase_ && IsLowerLetter(anchorByte) ? anchorByte - 32 : anchorByte;
    // The anchor byte of an occurrence lies in [anchor_, size - length + anchor_].
    const unsigned char* const end = data + (size - length) + anchor_ + 1;
    const unsigned char* hit = Next(data + anchor_, end, anchorByte);
    const unsigned char* otherHit = otherCase != anchorByte ? Next(data + anchor_, end, otherCase) : nullptr;
    // The nearer of the two hits is tried first; each scan moves on alone.
    while (hit || otherHit) {
        const bool first = hit && (!otherHit || hit < otherHit);
        const unsigned char* at = first ? hit : otherHit;
        if (MatchesAt(at - anchor_)) return true;
        if (first) {
            hit = Next(hit + 1, end, anchorByte);
        } else {
            otherHit = Next(otherHit + 1, end, otherCase);
        }
    }
    return false;
}

ContentSearch::ContentSearch(std::string_view text, bool caseSensitive) : finder_(text, !caseSensitive) {}

bool ContentSearch::ReserveBuffer(size_t size)
{
    if (!joint_ && finder_.Length() > 1) {
        joint_.reset(new (std::nothrow) unsigned char[2 * (finder_.Length() - 1)]);
        if (!joint_) return false;
    }
    if (size <= bufferSize_) return true;
    buffer_.reset();
    bufferSize_ = 0;
    buffer_.reset(new (std::nothrow) unsigned char[size]);
    if (!buffer_) return false;
    bufferSize_ = size;
    return true;
}

bool ContentSearch::FoundAcrossBoundary(const unsigned char* chunk, size_t size)
{
    const size_t keep = finder_.Length() - 1;
    if (keep == 0) return false;
    const size_t head = std::min(keep, size);
    std::memcpy(joint_.get() + carried_, chunk, head);
    if (carried_ > 0 && finder_.FoundIn(joint_.get(), carried_ + head)) return true;
    // The tail of everything read so far, at most keep bytes, for the next chunk.
    if (size >= keep) {
        std::memcpy(joint_.get(), chunk + size - keep, keep);
        carried_ = keep;
    } else {
        const size_t total = carried_ + head;
        const size_t tail = std::min(keep, total);
        std::memmove(joint_.get(), joint_.get() + total - tail, tail);
        carried_ = tail;
    }
    return false;
}

ContentResult ContentSearch::SearchFile(const std::string& path, uint64_t size, const std::atomic<bool>& stop)
{
    errorCode_ = 0;
    carried_ = 0;
    platform::File file;
    if (!file.OpenForReading(path)) {
        errorCode_ = platform::LastError();
        return ContentResult::OpenFailed;
    }
    const size_t chunkSize = static_cast<size_t>(std::min<uint64_t>(size, ContentChunkSize));
    if (!ReserveBuffer(chunkSize)) return ContentResult::OutOfMemory;

    uint64_t remaining = size;
    while (remaining > 0) {
        const size_t wanted = static_cast<size_t>(std::min<uint64_t>(remaining, chunkSize));
        const int64_t got = file.Read(buffer_.get(), wanted);
        if (got < 0) {
            errorCode_ = platform::LastError();
            return ContentResult::ReadFailed;
        }
        const auto read = static_cast<size_t>(got);
        if (FoundAcrossBoundary(buffer_.get(), read) || finder_.FoundIn(buffer_.get(), read))
            return ContentResult::Found;
        if (stop.load(std::memory_order_relaxed)) return ContentResult::Stopped;
        if (read < wanted) break;  // the file shrank since it was listed
        remaining -= read;
    }
    return ContentResult::NotFound;
}

}  // namespace tolvane
