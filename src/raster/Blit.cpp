#include "raster/Blit.h"

#include <algorithm>
#include <cstring>
#include <stdexcept>
#include <vector>

#include "raster/PixelRows.h"

namespace raster {

namespace {

// One row of a raster operation on bytes laid out alike: the source (and brush) bytes
// are already in the destination's format and bit position. Plain loops over
// restrict-qualified bytes, which the compiler vectorises.
template <Rop kRop>
void CombineBytes(uint8_t* __restrict d, const uint8_t* __restrict s, const uint8_t* __restrict p,
                  size_t n) {
    if constexpr (kRop == Rop::SrcCopy) {
        std::memcpy(d, s, n);
    } else {
        for (size_t i = 0; i < n; ++i) {
            if constexpr (kRop == Rop::SrcAnd) d[i] &= s[i];
            if constexpr (kRop == Rop::SrcPaint) d[i] |= s[i];
            if constexpr (kRop == Rop::DstAndNotSrc) d[i] &= uint8_t(~s[i]);
            if constexpr (kRop == Rop::PatternSelect) d[i] = uint8_t(s[i] ^ (p[i] & (d[i] ^ s[i])));
        }
    }
}

template <Rop kRop>
uint8_t CombineByte(uint8_t d, uint8_t s, uint8_t p) {
    if constexpr (kRop == Rop::SrcCopy) return s;
    if constexpr (kRop == Rop::SrcAnd) return d & s;
    if constexpr (kRop == Rop::SrcPaint) return d | s;
    if constexpr (kRop == Rop::DstAndNotSrc) return uint8_t(d & ~s);
    if constexpr (kRop == Rop::PatternSelect) return uint8_t(s ^ (p & (d ^ s)));
    return d;
}

// Combines n bytes where the first and last may be partial (sub-byte formats): only the
// bits set in `head` (first byte) and `tail` (last byte) change there.
template <Rop kRop>
void CombineRow(uint8_t* d, const uint8_t* s, const uint8_t* p, size_t n, uint8_t head,
                uint8_t tail) {
    static const uint8_t kZero[1] = {0};
    auto pb = [&](size_t i) { return p ? p[i] : kZero[0]; };
    if (n == 1) {
        uint8_t m = head & tail;
        d[0] = uint8_t((d[0] & ~m) | (CombineByte<kRop>(d[0], s[0], pb(0)) & m));
        return;
    }
    size_t first = 0, last = n;
    if (head != 0xFF) {
        d[0] = uint8_t((d[0] & ~head) | (CombineByte<kRop>(d[0], s[0], pb(0)) & head));
        first = 1;
    }
    if (tail != 0xFF) {
        d[n - 1] =
            uint8_t((d[n - 1] & ~tail) | (CombineByte<kRop>(d[n - 1], s[n - 1], pb(n - 1)) & tail));
        last = n - 1;
    }
    if (last > first)
        CombineBytes<kRop>(d + first, s + first, p ? p + first : nullptr, last - first);
}

using RowFunction = void (*)(uint8_t*, const uint8_t*, const uint8_t*, size_t, uint8_t, uint8_t);

RowFunction RowFunctionFor(Rop rop) {
    switch (rop) {
        case Rop::SrcCopy:
            return &CombineRow<Rop::SrcCopy>;
        case Rop::SrcAnd:
            return &CombineRow<Rop::SrcAnd>;
        case Rop::SrcPaint:
            return &CombineRow<Rop::SrcPaint>;
        case Rop::DstAndNotSrc:
            return &CombineRow<Rop::DstAndNotSrc>;
        case Rop::PatternSelect:
            return &CombineRow<Rop::PatternSelect>;
    }
    throw std::invalid_argument("Blit: unknown raster operation");
}

// Clips a block against both bitmaps in 64-bit arithmetic; false when nothing is left.
bool ClipBlock(int& dx, int& dy, int& w, int& h, int& sx, int& sy, const Bitmap& dst,
               const Bitmap& src) {
    if (w <= 0 || h <= 0) return false;
    long long x0 = 0, y0 = 0, x1 = w, y1 = h;  // block coordinates kept
    x0 = std::max({x0, -(long long)dx, -(long long)sx});
    y0 = std::max({y0, -(long long)dy, -(long long)sy});
    x1 = std::min({x1, (long long)dst.Width() - dx, (long long)src.Width() - sx});
    y1 = std::min({y1, (long long)dst.Height() - dy, (long long)src.Height() - sy});
    if (x1 <= x0 || y1 <= y0) return false;
    dx = int(dx + x0);
    sx = int(sx + x0);
    dy = int(dy + y0);
    sy = int(sy + y0);
    w = int(x1 - x0);
    h = int(y1 - y0);
    return true;
}

// The source bits of one row, shifted so that source bit `srcBit` lands on bit
// (dstBit mod 8) of out[0]; n output bytes. Bytes outside the source row read as 0 (they
// only feed masked-off bits).
void AlignBits(const uint8_t* row, size_t rowBytes, size_t srcBit, size_t dstBit, uint8_t* out,
               size_t n) {
    long long pos = (long long)srcBit - (long long)(dstBit & 7);
    auto byteAt = [&](long long k) -> unsigned {
        return (k >= 0 && size_t(k) < rowBytes) ? row[k] : 0u;
    };
    long long k = pos >> 3;  // floor: pos may be negative at the row start
    unsigned sh = unsigned(pos & 7);
    for (size_t i = 0; i < n; ++i, ++k)
        out[i] =
            sh == 0 ? uint8_t(byteAt(k)) : uint8_t((byteAt(k) << sh) | (byteAt(k + 1) >> (8 - sh)));
}

// Writes pixels x0 .. x0 + count - 1 of a row in `format` as 0 or `ones`, pixel x0 + i
// taking bit bitAt(i); one loop per pixel size.
template <typename BitAt>
void ExpandBits(uint8_t* row, PixelFormat format, int x0, int count, uint32_t ones, BitAt bitAt) {
    auto bytes = [&]<int kBytes>() {
        uint8_t values[2][4] = {
            {0, 0, 0, 0},
            {uint8_t(ones), uint8_t(ones >> 8), uint8_t(ones >> 16), uint8_t(ones >> 24)}};
        uint8_t* p = row + size_t(x0) * kBytes;
        for (int i = 0; i < count; ++i)
            std::memcpy(p + size_t(i) * kBytes, values[bitAt(i)], kBytes);
    };
    switch (format) {
        case PixelFormat::Bits8:
            bytes.template operator()<1>();
            break;
        case PixelFormat::Bits15:
        case PixelFormat::Bits16:
            bytes.template operator()<2>();
            break;
        case PixelFormat::Bits24:
            bytes.template operator()<3>();
            break;
        case PixelFormat::Device:
        case PixelFormat::Bits32:
            bytes.template operator()<4>();
            break;
        case PixelFormat::Bits1:
        case PixelFormat::Bits4:
            for (int i = 0; i < count; ++i)
                detail::WriteValue(row, format, x0 + i, bitAt(i) ? ones : 0u);
            break;
    }
}

void BlitImpl(Bitmap& dst, int dx, int dy, int w, int h, const Bitmap& src, int sx, int sy, Rop rop,
              const Bitmap* brush) {
    PixelFormat format = dst.Format();
    bool maskSource = src.Format() == PixelFormat::Bits1 && format != PixelFormat::Bits1;
    if (src.Format() != format && !maskSource)
        throw std::invalid_argument("Blit: the bitmaps must share a pixel format");
    if (rop == Rop::PatternSelect &&
        (!brush || brush->Format() != PixelFormat::Bits1 || brush->Empty()))
        throw std::invalid_argument("Blit: the pattern operation needs a monochrome brush");
    RowFunction combine = RowFunctionFor(rop);
    if (!ClipBlock(dx, dy, w, h, sx, sy, dst, src)) return;

    if (&dst == &src) {
        if (rop == Rop::SrcCopy && dx == sx && dy == sy) return;
        // Overlapping blocks: take the source out first.
        Bitmap block(w, h, src.Format());
        block.Palette() = src.Palette();
        BlitImpl(block, 0, 0, w, h, src, sx, sy, Rop::SrcCopy, nullptr);
        BlitImpl(dst, dx, dy, w, h, block, 0, 0, rop, brush);
        return;
    }

    const int bpp = BitsPerPixel(format);
    const uint32_t ones = MaskOnesValue(format);
    const size_t dstBit = size_t(dx) * bpp, nBits = size_t(w) * bpp;
    const size_t b0 = dstBit >> 3, nBytes = ((dstBit + nBits + 7) >> 3) - b0;
    const uint8_t head = uint8_t(0xFFu >> (dstBit & 7));
    const uint8_t tail = uint8_t(0xFFu << ((8 - ((dstBit + nBits) & 7)) & 7));
    const size_t srcBit = size_t(sx) * bpp;
    const bool direct = !maskSource && (srcBit & 7) == (dstBit & 7);

    std::vector<uint8_t> staged(direct ? 0 : nBytes + 1);

    // Brush rows expanded to whole destination rows, so that row y uses the expanded
    // brush row y mod height at the same byte offsets as the destination.
    std::vector<std::vector<uint8_t>> brushRows;
    if (rop == Rop::PatternSelect) {
        int bw = brush->Width(), bh = brush->Height();
        brushRows.resize(size_t(bh));
        std::vector<uint8_t> bits(
            static_cast<size_t>(w));  // brush bits of columns dx .. dx + w - 1
        for (int r = 0; r < std::min(bh, h); ++r) {
            int y = dy + r;
            const uint8_t* brushRow = brush->Scanline(y % bh);
            for (int i = 0, bx = dx % bw; i < w; ++i, bx = bx + 1 == bw ? 0 : bx + 1)
                bits[size_t(i)] = (brushRow[bx >> 3] >> (7 - (bx & 7))) & 1u;
            std::vector<uint8_t>& row = brushRows[size_t(y % bh)];
            row.assign(dst.Stride(), 0);
            ExpandBits(row.data(), format, dx, w, ones, [&](int i) { return bits[size_t(i)]; });
        }
    }

    // Whole rows without padding on both sides form one run of bytes.
    if (direct && brushRows.empty() && head == 0xFF && tail == 0xFF && nBytes == dst.Stride() &&
        nBytes == src.Stride()) {
        combine(dst.Scanline(dy), src.Scanline(sy), nullptr, nBytes * size_t(h), head, tail);
        return;
    }

    for (int j = 0; j < h; ++j) {
        uint8_t* d = dst.Scanline(dy + j) + b0;
        const uint8_t* srcRow = src.Scanline(sy + j);
        const uint8_t* s;
        if (direct) {
            s = srcRow + (srcBit >> 3);
        } else if (maskSource) {
            // Staged from the destination byte holding pixel dx.
            int first = bpp < 8 ? int(dstBit & 7) / bpp : 0;
            ExpandBits(staged.data(), format, first, w, ones, [&](int i) {
                int x = sx + i;
                return (srcRow[x >> 3] >> (7 - (x & 7))) & 1;
            });
            s = staged.data();
        } else {
            AlignBits(srcRow, src.Stride(), srcBit, dstBit, staged.data(), nBytes);
            s = staged.data();
        }
        const uint8_t* p =
            brushRows.empty() ? nullptr : brushRows[size_t((dy + j) % brush->Height())].data() + b0;
        combine(d, s, p, nBytes, head, tail);
    }
}

}  // namespace

uint32_t MaskOnesValue(PixelFormat format) {
    switch (format) {
        case PixelFormat::Bits1:
            return 0x1;
        case PixelFormat::Bits4:
            return 0xF;
        case PixelFormat::Bits8:
            return 0xFF;
        case PixelFormat::Bits15:
            return 0x7FFF;
        case PixelFormat::Bits16:
            return 0xFFFF;
        case PixelFormat::Bits24:
        case PixelFormat::Device:
        case PixelFormat::Bits32:
            return 0xFFFFFF;
    }
    return 0;
}

void Blit(Bitmap& dst, int dx, int dy, int w, int h, const Bitmap& src, int sx, int sy, Rop rop) {
    BlitImpl(dst, dx, dy, w, h, src, sx, sy, rop, nullptr);
}

void Blit(Bitmap& dst, int dx, int dy, int w, int h, const Bitmap& src, int sx, int sy, Rop rop,
          const Bitmap& brush) {
    BlitImpl(dst, dx, dy, w, h, src, sx, sy, rop, &brush);
}

}  // namespace raster
