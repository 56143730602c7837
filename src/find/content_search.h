// The content rule's search of one file: read in chunks of at most
// ContentChunkSize bytes into one buffer that is reused from file to file,
// and look for the text in every chunk and across every chunk boundary.
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

namespace tolvane {

// Finds a fixed text in a block of bytes: memchr for the text's rarest-looking
// byte, then a comparison of the whole text around each hit. With anyCase the
// text is stored with 'A'-'Z' folded to 'a'-'z' and matches bytes of either
// case; a letter's two cases are looked for side by side, so the data is
// never folded.
class TextFinder {
public:
    explicit TextFinder(std::string_view text = {}, bool anyCase = false);
    bool FoundIn(const unsigned char* data, size_t size) const;
    size_t Length() const { return text_.size(); }

private:
    bool MatchesAt(const unsigned char* at) const;

    std::string text_;
    bool anyCase_;
    size_t anchor_ = 0;  // index in text_ of the byte memchr looks for
};

enum class ContentResult {
    Found,
    NotFound,
    OpenFailed,    // errorCode tells why
    ReadFailed,    // errorCode tells why
    Stopped,       // the stop request was seen after a chunk
    OutOfMemory,   // the chunk buffer could not be allocated
};

class ContentSearch {
public:
    // text as the criteria store it: with A-Z folded to a-z unless caseSensitive.
    ContentSearch(std::string_view text, bool caseSensitive);

    // Searches the first size bytes of the file (the size its listing gave).
    // Reading ends at the first occurrence, at a short read (the bytes not read
    // are not searched) and after any chunk once stop is set.
    ContentResult SearchFile(const std::string& path, uint64_t size, const std::atomic<bool>& stop);
    uint32_t ErrorCode() const { return errorCode_; }

private:
    bool ReserveBuffer(size_t size);
    // Looks for an occurrence that begins in the carried tail of the previous
    // chunk and ends in this one, then keeps this chunk's tail for the next.
    bool FoundAcrossBoundary(const unsigned char* chunk, size_t size);

    TextFinder finder_;
    std::unique_ptr<unsigned char[]> buffer_;
    size_t bufferSize_ = 0;
    std::unique_ptr<unsigned char[]> joint_;  // carried tail + head of the next chunk
    size_t carried_ = 0;
    uint32_t errorCode_ = 0;
};

}  // namespace tolvane
