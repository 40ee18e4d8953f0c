#include "codecs/GifLzw.h"

#include <algorithm>
#include <array>
#include <cstring>

#include "core/Error.h"

namespace codecs {

namespace {

constexpr int kMaxCodeBits = 12;
constexpr uint32_t kTableSize = 1u << kMaxCodeBits;
// Slack after the last pixel so string copies may move whole 8-byte words.
constexpr size_t kCopySlack = 8;

// The one-byte strings of the root codes, with slack for whole-word copies.
constexpr std::array<uint8_t, 256 + kCopySlack> kRoots = [] {
    std::array<uint8_t, 256 + kCopySlack> roots{};
    for (int i = 0; i < 256; ++i) roots[size_t(i)] = uint8_t(i);
    return roots;
}();

[[noreturn]] void ThrowCorrupt() {
    throw core::Error("Damaged GIF file: the LZW image data is corrupt.");
}

[[noreturn]] void ThrowEndsEarly() {
    throw core::Error("Damaged GIF file: the image data ends before the frame is complete.");
}

// The sub-blocks' bytes joined into one run, followed by zero bytes so the bit reader
// may always load three bytes at once.
std::vector<uint8_t> JoinSubBlocks(std::string_view blocks) {
    std::vector<uint8_t> joined;
    joined.reserve(blocks.size() + 4);
    size_t pos = 0;
    while (pos < blocks.size()) {
        size_t n = uint8_t(blocks[pos++]);
        if (n > blocks.size() - pos) n = blocks.size() - pos;
        joined.insert(joined.end(), blocks.begin() + pos, blocks.begin() + pos + n);
        pos += n;
    }
    joined.insert(joined.end(), 4, 0);
    return joined;
}

// Copies a `len`-byte string: a root or a run earlier in the output. Whole words may
// overshoot by up to 7 bytes: those land in bytes not yet written (or the slack), and
// the bytes read beyond the source string never matter, because a run in the output
// always ends at or before the place it is copied to (and the roots have slack).
inline void CopyString(uint8_t* dst, const uint8_t* src, size_t len) {
    for (size_t i = 0; i < len; i += 8) {
        uint64_t word;
        std::memcpy(&word, src + i, 8);
        std::memcpy(dst + i, &word, 8);
    }
}

}  // namespace

std::vector<uint8_t> DecodeGifLzw(int minCodeSize, std::string_view subBlocks, size_t pixelCount) {
    if (minCodeSize < kGifMinLzwCodeSize || minCodeSize > kGifMaxLzwCodeSize)
        throw core::Error("Damaged GIF file: bad LZW code size.");
    std::vector<uint8_t> data = JoinSubBlocks(subBlocks);
    const uint64_t totalBits = uint64_t(data.size() - 4) * 8;

    // No code yields more than kTableSize pixels, so a frame larger than that bound is
    // refused before its buffer is allocated.
    if (uint64_t(pixelCount) > totalBits / uint64_t(minCodeSize + 1) * kTableSize) ThrowEndsEarly();

    std::vector<uint8_t> out(pixelCount + kCopySlack);
    if (pixelCount == 0) {
        out.clear();
        return out;
    }
    uint8_t* const pixels = out.data();

    // Every table entry is a string already present in memory: where it starts and its
    // length. The roots are the one-byte strings of kRoots; a new entry is the previous
    // string plus the first byte of the current one, and since the current string
    // follows the previous one directly in the output, that is just the previous
    // string's run lengthened by one. So every code, root or not, is one copy.
    const uint8_t* entryStart[kTableSize];
    uint16_t entryLength[kTableSize];
    const uint32_t clearCode = 1u << minCodeSize;
    const uint32_t endCode = clearCode + 1;
    for (uint32_t c = 0; c < clearCode; ++c) {
        entryStart[c] = kRoots.data() + c;
        entryLength[c] = 1;
    }

    int codeBits = minCodeSize + 1;
    uint32_t codeMask = (1u << codeBits) - 1;
    uint32_t nextCode = clearCode + 2;
    bool havePrevious = false;
    const uint8_t* previousStart = nullptr;
    size_t previousLength = 0;

    const uint8_t* bytes = data.data();
    uint64_t bitPos = 0;
    size_t pos = 0;

    while (pos < pixelCount) {
        if (bitPos + uint64_t(codeBits) > totalBits) ThrowEndsEarly();
        const uint8_t* p = bytes + (bitPos >> 3);
        uint32_t window = uint32_t(p[0]) | (uint32_t(p[1]) << 8) | (uint32_t(p[2]) << 16);
        uint32_t code = (window >> (bitPos & 7)) & codeMask;
        bitPos += uint64_t(codeBits);

        if (code - clearCode <= 1) {  // the clear or the end code
            if (code == endCode) ThrowEndsEarly();
            codeBits = minCodeSize + 1;
            codeMask = (1u << codeBits) - 1;
            nextCode = clearCode + 2;
            havePrevious = false;
            continue;
        }
        uint8_t* const dst = pixels + pos;
        const size_t room = pixelCount - pos;
        size_t length;
        if (code < nextCode) {
            length = entryLength[code];
            if (length <= room)
                CopyString(dst, entryStart[code], length);
            else
                std::memcpy(dst, entryStart[code], room);  // the frame ends inside it
        } else if (code == nextCode && havePrevious) {
            // The code being defined right now: the previous string and its own first byte.
            length = previousLength + 1;
            if (length <= room) {
                CopyString(dst, previousStart, previousLength);
                dst[previousLength] = previousStart[0];
            } else {
                std::memcpy(dst, previousStart, room);
            }
        } else {
            ThrowCorrupt();
        }
        if (havePrevious && nextCode < kTableSize) {
            entryStart[nextCode] = previousStart;
            entryLength[nextCode] = uint16_t(previousLength + 1);
            ++nextCode;
        }
        havePrevious = true;
        previousStart = dst;
        previousLength = length;
        pos += length;
        if (nextCode == (1u << codeBits) && codeBits < kMaxCodeBits) {
            ++codeBits;
            codeMask = (1u << codeBits) - 1;
        }
    }
    out.resize(pixelCount);
    return out;
}

namespace {

// Codes packed least significant bit first, as GIF stores them.
class LzwBitWriter {
public:
    void Put(uint32_t code, int bits) {
        m_acc |= uint64_t(code) << m_count;
        m_count += bits;
        while (m_count >= 8) {
            m_bytes.push_back(char(m_acc & 0xFF));
            m_acc >>= 8;
            m_count -= 8;
        }
    }
    std::string Finish() {
        if (m_count > 0) m_bytes.push_back(char(m_acc & 0xFF));
        std::string blocks;
        for (size_t pos = 0; pos < m_bytes.size(); pos += 255) {
            size_t n = std::min<size_t>(255, m_bytes.size() - pos);
            blocks.push_back(char(n));
            blocks.append(m_bytes, pos, n);
        }
        return blocks;
    }

private:
    uint64_t m_acc = 0;
    int m_count = 0;
    std::string m_bytes;
};

}  // namespace

std::string EncodeGifLzw(int minCodeSize, const uint8_t* indexes, size_t count,
                         GifLzwTableFull whenFull) {
    if (minCodeSize < kGifMinLzwCodeSize || minCodeSize > kGifMaxLzwCodeSize)
        throw core::Error("Bad LZW code size.");
    const uint32_t clearCode = 1u << minCodeSize;
    const uint32_t endCode = clearCode + 1;
    // An open-addressing table from (prefix code, next index) to the code of that string.
    constexpr size_t kHashSize = 8192;
    std::vector<uint32_t> keys(kHashSize);
    std::vector<uint16_t> codes(kHashSize);
    auto slotOf = [&](uint32_t key) {
        size_t slot = (key * 2654435761u) >> 19;
        while (keys[slot] != 0 && keys[slot] != key) slot = (slot + 1) & (kHashSize - 1);
        return slot;
    };

    LzwBitWriter out;
    int codeBits = minCodeSize + 1;
    uint32_t nextCode = clearCode + 2;
    auto reset = [&] {
        std::fill(keys.begin(), keys.end(), 0);
        codeBits = minCodeSize + 1;
        nextCode = clearCode + 2;
    };
    out.Put(clearCode, codeBits);
    if (count > 0) {
        const uint32_t mask = clearCode - 1;
        uint32_t prefix = indexes[0] & mask;
        for (size_t i = 1; i < count; ++i) {
            uint32_t c = indexes[i] & mask;
            uint32_t key = ((prefix << 8) | c) + 1;  // 0 marks an empty slot
            size_t slot = slotOf(key);
            if (keys[slot] == key) {
                prefix = codes[slot];
                continue;
            }
            out.Put(prefix, codeBits);
            if (nextCode >= (1u << codeBits) && codeBits < 12) ++codeBits;
            if (nextCode < 4096) {
                keys[slot] = key;
                codes[slot] = uint16_t(nextCode++);
                if (nextCode == 4096 && whenFull == GifLzwTableFull::Clear) {
                    out.Put(clearCode, codeBits);
                    reset();
                }
            }
            prefix = c;
        }
        out.Put(prefix, codeBits);
        if (nextCode >= (1u << codeBits) && codeBits < 12) ++codeBits;
    }
    out.Put(endCode, codeBits);
    return out.Finish();
}

std::vector<uint8_t> DeinterlaceGifRows(const std::vector<uint8_t>& streamOrder, int width,
                                        int height) {
    std::vector<uint8_t> rows(streamOrder.size());
    static constexpr int kStart[4] = {0, 4, 2, 1};
    static constexpr int kStep[4] = {8, 8, 4, 2};
    const uint8_t* src = streamOrder.data();
    for (int pass = 0; pass < 4; ++pass)
        for (int y = kStart[pass]; y < height; y += kStep[pass]) {
            std::memcpy(rows.data() + size_t(y) * size_t(width), src, size_t(width));
            src += width;
        }
    return rows;
}

}  // namespace codecs
