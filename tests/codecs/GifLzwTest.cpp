#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "codecs/GifLzw.h"
#include "core/Error.h"

namespace codecs {
namespace {

// Codes packed as GIF stores them, for streams no encoder would write.
class CodeWriter {
public:
    CodeWriter& Put(uint32_t code, int bits) {
        m_acc |= uint64_t(code) << m_count;
        m_count += bits;
        while (m_count >= 8) {
            m_bytes.push_back(char(m_acc & 0xFF));
            m_acc >>= 8;
            m_count -= 8;
        }
        return *this;
    }
    std::string SubBlocks() const {
        std::string bytes = m_bytes;
        if (m_count > 0) bytes.push_back(char(m_acc & 0xFF));
        return std::string(1, char(bytes.size())) + bytes;  // short streams: one block
    }

private:
    uint64_t m_acc = 0;
    int m_count = 0;
    std::string m_bytes;
};

enum class Pattern { Noise, Runs, Constant, Ramp };

std::vector<uint8_t> MakeIndexes(Pattern pattern, size_t count, int bits, uint32_t seed) {
    std::mt19937 rng(seed);
    std::vector<uint8_t> v(count);
    uint8_t value = 0;
    for (size_t i = 0; i < count; ++i) {
        switch (pattern) {
            case Pattern::Noise:
                value = uint8_t(rng());
                break;
            case Pattern::Runs:
                if (rng() % 7 == 0) value = uint8_t(rng());
                break;
            case Pattern::Constant:
                break;
            case Pattern::Ramp:
                value = uint8_t(i / 3 + i % 5);
                break;
        }
        v[i] = uint8_t(value & ((1u << bits) - 1));
    }
    return v;
}

// Encoder and decoder agree across code sizes, patterns, lengths (including streams
// long enough to fill the code table) and both table-full behaviours; any prefix of the
// data either decodes to the same pixels or is refused.
TEST(GifLzwTest, RoundTripsAndRefusesTruncatedData) {
    for (int bits = 1; bits <= 8; ++bits)
        for (Pattern pattern : {Pattern::Noise, Pattern::Runs, Pattern::Constant, Pattern::Ramp})
            for (size_t count : {size_t(1), size_t(2), size_t(7), size_t(300), size_t(20000)})
                for (GifLzwTableFull full : {GifLzwTableFull::Clear, GifLzwTableFull::Keep}) {
                    SCOPED_TRACE(testing::Message()
                                 << "bits " << bits << " pattern " << int(pattern) << " count "
                                 << count << " full " << int(full));
                    std::vector<uint8_t> pixels =
                        MakeIndexes(pattern, count, bits, uint32_t(bits * count));
                    std::string data = EncodeGifLzw(bits, pixels.data(), pixels.size(), full);
                    ASSERT_EQ(DecodeGifLzw(bits, data, count), pixels);
                    if (count > 300) continue;
                    for (size_t cut = 0; cut < data.size(); ++cut) {
                        try {
                            EXPECT_EQ(DecodeGifLzw(bits, data.substr(0, cut), count), pixels);
                        } catch (const core::Error&) {
                        }
                    }
                }
}

TEST(GifLzwTest, DecoderEdgeCases) {
    std::vector<uint8_t> pixels = MakeIndexes(Pattern::Runs, 5000, 4, 7);
    std::string data = EncodeGifLzw(4, pixels.data(), pixels.size());

    // Codes after the last pixel are not looked at.
    EXPECT_EQ(DecodeGifLzw(4, data + "\x03\xff\xff\xff", pixels.size()), pixels);
    // A frame smaller than the stream ends inside a string.
    for (size_t n : {size_t(1), size_t(4999), size_t(2345)})
        EXPECT_EQ(DecodeGifLzw(4, data, n),
                  std::vector<uint8_t>(pixels.begin(), pixels.begin() + n));

    // Min code size 2: clear 4, end 5, first free code 6, 3-bit codes.
    // No leading clear code: decoding starts with a fresh table anyway.
    EXPECT_EQ(DecodeGifLzw(2, CodeWriter().Put(1, 3).Put(2, 3).Put(5, 3).SubBlocks(), 2),
              (std::vector<uint8_t>{1, 2}));
    // The code being defined (KwKwK): 1, then 6 = "1" + "1".
    EXPECT_EQ(DecodeGifLzw(2, CodeWriter().Put(4, 3).Put(1, 3).Put(6, 3).Put(5, 3).SubBlocks(), 3),
              (std::vector<uint8_t>{1, 1, 1}));
}

TEST(GifLzwTest, DamagedStreamsAreRefused) {
    struct Case {
        const char* name;
        int minCodeSize;
        std::string data;
        size_t pixels;
        const char* message;
    };
    const Case cases[] = {
        {"code beyond next free", 2, CodeWriter().Put(4, 3).Put(1, 3).Put(7, 3).SubBlocks(), 4,
         "corrupt"},
        {"table code right after clear", 2, CodeWriter().Put(4, 3).Put(6, 3).SubBlocks(), 4,
         "corrupt"},
        {"end code too early", 2, CodeWriter().Put(4, 3).Put(1, 3).Put(5, 3).SubBlocks(), 4,
         "ends before"},
        // Three codes; the padding bits of the last byte then give two more pixels, not six.
        {"data runs out", 2, CodeWriter().Put(4, 3).Put(1, 3).Put(2, 3).SubBlocks(), 6,
         "ends before"},
        {"no data", 2, "", 1, "ends before"},
        // 2^28 pixels from 3 bytes of data is refused before the buffer is made.
        {"far too little data", 8, "\x02\x00\x01", size_t(1) << 28, "ends before"},
        {"code size 0", 0, "\x01\x00", 1, "code size"},
        {"code size 9", 9, "\x01\x00", 1, "code size"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        try {
            DecodeGifLzw(c.minCodeSize, c.data, c.pixels);
            ADD_FAILURE() << "no error";
        } catch (const core::Error& e) {
            EXPECT_NE(std::string(e.what()).find(c.message), std::string::npos) << e.what();
        }
    }
}

TEST(GifLzwTest, DeinterlaceOrdersRowsByPass) {
    // Each row's single pixel holds its place in the stream; the result lists, top to
    // bottom, which stream row landed there.
    const std::vector<std::vector<uint8_t>> rowOrder = {
        {0}, {0, 1}, {0, 2, 1}, {0, 4, 2, 5, 1, 6, 3, 7}, {0, 5, 3, 6, 2, 7, 4, 8, 1, 9},
    };
    for (const auto& expected : rowOrder) {
        std::vector<uint8_t> stream(expected.size());
        for (size_t i = 0; i < stream.size(); ++i) stream[i] = uint8_t(i);
        EXPECT_EQ(DeinterlaceGifRows(stream, 1, int(stream.size())), expected) << expected.size();
    }
}

}  // namespace
}  // namespace codecs
