#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace codecs {

// The smallest and largest LZW minimum code sizes we accept. GIF89a asks for 2 to 8;
// some encoders write 1 for two-colour pictures, which decodes the same way.
constexpr int kGifMinLzwCodeSize = 1;
constexpr int kGifMaxLzwCodeSize = 8;

// Decodes a GIF image's LZW data into exactly `pixelCount` colour indexes in stream
// order (no de-interlacing). `subBlocks` is the image data as stored in the file: each
// sub-block a length byte and its bytes, without the block terminator. Codes after the
// last pixel are ignored. Throws core::Error when a code lies beyond the next free code
// or when the data ends before `pixelCount` pixels were produced; a count the data
// cannot possibly fill is refused before anything is allocated.
std::vector<uint8_t> DecodeGifLzw(int minCodeSize, std::string_view subBlocks, size_t pixelCount);

// What an encoder does when its code table is full: send a clear code and start
// afresh (as most encoders do), or keep the table and go on with 12-bit codes (the
// "deferred clear" that GIF89a allows).
enum class GifLzwTableFull { Clear, Keep };

// Encodes colour indexes (each below 2^minCodeSize) as GIF LZW data in sub-blocks of at
// most 255 bytes, without the block terminator: what DecodeGifLzw reads. Used to make
// test and benchmark pictures.
std::string EncodeGifLzw(int minCodeSize, const uint8_t* indexes, size_t count,
                         GifLzwTableFull whenFull = GifLzwTableFull::Clear);

// Reorders the rows of an interlaced GIF image (passes from rows 0, 4, 2, 1 stepping
// 8, 8, 4, 2) into top-down order.
std::vector<uint8_t> DeinterlaceGifRows(const std::vector<uint8_t>& streamOrder, int width,
                                        int height);

}  // namespace codecs
