#include "codecs/JpegPicture.h"

#include <algorithm>
#include <csetjmp>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <vector>

// jpeglib.h needs FILE and size_t declared before it.
#include <jerror.h>
#include <jpeglib.h>

#include "codecs/ExifReader.h"
#include "core/Error.h"
#include "raster/StretchDraw.h"

namespace codecs {

namespace {

// libjpeg allocates whole-image buffers for progressive and multi-scan files and for
// two-pass quantisation; its memory manager refuses anything beyond this.
constexpr long kMaxLibjpegMemory = 1L << 30;

// A progressive file may hold any number of scans, and every scan walks the whole
// coefficient buffer, so a small file of many tiny scans can keep the decoder busy for
// minutes. Real encoders write a few dozen at most. The limit is also lowered for large
// pictures so that scans times blocks stays within a budget.
constexpr int kMaxScans = 1000;
constexpr int kMinScanLimit = 100;
constexpr uint64_t kScanBlockBudget = uint64_t(1) << 30;

// A complete Huffman-coded file spends at least one bit on every 8 x 8 block of every
// component: each block's first scan codes its DC difference, and the shortest code is one
// bit. The flattest pictures cjpeg and ImageMagick make at quality 1 (baseline, optimised
// or progressive) take two bits per block. A file below one bit per this many blocks is
// eight times too short for any complete picture (sixteen for the smallest real ones), so
// refusing it loses nothing, and a small file claiming a huge size never gets as far as
// the big allocations.
constexpr uint64_t kBlocksPerBitAtLeast = 8;

enum class Failure { None, Codec, TooManyScans, EndsEarly };

// libjpeg reports failures through error_exit, which must not return. We jump back to
// the guarded step in this file and throw from there, so no C++ unwinding crosses
// libjpeg's C frames.
struct ErrorManager {
    jpeg_error_mgr pub;  // first member: libjpeg's pointer to it is a pointer to us
    std::jmp_buf jump;
    Failure failure;
    int code;
    int scanLimit;
};

ErrorManager& ErrorsOf(j_common_ptr cinfo) {
    return *reinterpret_cast<ErrorManager*>(cinfo->err);
}

[[noreturn]] void FailWith(j_common_ptr cinfo, Failure failure) {
    ErrorManager& err = ErrorsOf(cinfo);
    err.failure = failure;
    err.code = cinfo->err->msg_code;
    std::longjmp(err.jump, 1);
}

void OnErrorExit(j_common_ptr cinfo) {
    FailWith(cinfo, Failure::Codec);
}

// Compressed data that stops (at a marker) while rows are still to come: libjpeg only
// warns and fills the rest with grey. A restart marker is different, as the decoder picks
// up the next interval's data after it; and a picture that only lacks the end of its last
// row of blocks is whole enough to show.
bool EndsBeforeLastRow(j_common_ptr cinfo) {
    auto* d = reinterpret_cast<j_decompress_ptr>(cinfo);
    if (d->unread_marker >= JPEG_RST0 && d->unread_marker <= JPEG_RST0 + 7) return false;
    return d->input_iMCU_row + 1 < d->total_iMCU_rows;
}

// A truncated file, and data that ends before the last row, only draw warnings and are
// padded with grey; we count them as damage. The other warnings (stray bytes before a
// marker, a corrupt entropy segment that the decoder resynchronises after) leave a usable
// picture and are ignored.
void OnMessage(j_common_ptr cinfo, int level) {
    if (level >= 0) return;
    if (cinfo->err->msg_code == JWRN_JPEG_EOF) FailWith(cinfo, Failure::Codec);
    if (cinfo->err->msg_code == JWRN_HIT_MARKER && EndsBeforeLastRow(cinfo))
        FailWith(cinfo, Failure::EndsEarly);
}

void OnOutputMessage(j_common_ptr) {}

void OnProgress(j_common_ptr cinfo) {
    auto* d = reinterpret_cast<j_decompress_ptr>(cinfo);
    if (d->input_scan_number > ErrorsOf(cinfo).scanLimit) FailWith(cinfo, Failure::TooManyScans);
}

void InstallErrorManager(ErrorManager& err) {
    jpeg_std_error(&err.pub);
    err.pub.error_exit = OnErrorExit;
    err.pub.emit_message = OnMessage;
    err.pub.output_message = OnOutputMessage;
    err.failure = Failure::None;
    err.code = 0;
    err.scanLimit = kMaxScans;
}

[[noreturn]] void ThrowFailure(const ErrorManager& err) {
    if (err.failure == Failure::EndsEarly)
        throw core::Error("The JPEG file is damaged: its picture data ends before the last row.");
    if (err.failure == Failure::TooManyScans)
        throw core::Error(
            core::Format("The JPEG picture has too many scans (more than %d).", err.scanLimit));
    throw core::Error(core::Format("JPEG error #%d", err.code));
}

// Runs one step of libjpeg calls. The step may only hold trivially destructible locals,
// because an error jumps out of it. Not inlined, so the jump target stays a frame of
// its own.
template <typename Step>
[[gnu::noinline]] void Guarded(ErrorManager& err, Step&& step) {
    if (setjmp(err.jump) != 0) ThrowFailure(err);
    step();
}

struct Decoder {
    jpeg_decompress_struct cinfo{};
    ErrorManager err{};
    jpeg_progress_mgr progress{};

    Decoder() {
        InstallErrorManager(err);
        cinfo.err = &err.pub;
    }
    // Safe on a zeroed or half-created object as well.
    ~Decoder() { jpeg_destroy_decompress(&cinfo); }
    Decoder(const Decoder&) = delete;
    Decoder& operator=(const Decoder&) = delete;

    void ReadHeader(const std::string& bytes) {
        Guarded(err, [&] {
            jpeg_create_decompress(&cinfo);
            cinfo.mem->max_memory_to_use = kMaxLibjpegMemory;
            progress.progress_monitor = OnProgress;
            cinfo.progress = &progress;
            jpeg_mem_src(&cinfo, reinterpret_cast<const unsigned char*>(bytes.data()),
                         static_cast<unsigned long>(bytes.size()));
            jpeg_read_header(&cinfo, TRUE);
        });
    }

    void CalcOutputDimensions(JpegScale scale) {
        cinfo.scale_num = 1;
        cinfo.scale_denom = 1u << static_cast<int>(scale);
        Guarded(err, [&] { jpeg_calc_output_dimensions(&cinfo); });
    }
};

uint64_t BlockCount(const jpeg_decompress_struct& cinfo) {
    uint64_t blocks = 0;
    for (int ci = 0; ci < cinfo.num_components; ++ci)
        blocks +=
            uint64_t(cinfo.comp_info[ci].width_in_blocks) * cinfo.comp_info[ci].height_in_blocks;
    return blocks;
}

// Refuses a file far too short for the size its header claims (see kBlocksPerBitAtLeast),
// from the header alone. Arithmetic coding is exempt: it codes a flat picture in next to
// nothing (cjpeg -arithmetic makes a flat 4096 x 4096 picture of 336 bytes).
void CheckEnoughData(const jpeg_decompress_struct& cinfo, size_t fileBytes) {
    if (cinfo.arith_code) return;
    if (uint64_t(fileBytes) * 8 * kBlocksPerBitAtLeast >= BlockCount(cinfo)) return;
    throw core::Error("The JPEG file is damaged: " + std::to_string(fileBytes) +
                      " bytes cannot hold a picture of " + std::to_string(cinfo.image_width) +
                      " x " + std::to_string(cinfo.image_height) + " pixels.");
}

bool IsCmyk(const jpeg_decompress_struct& cinfo) {
    return cinfo.jpeg_color_space == JCS_CMYK || cinfo.jpeg_color_space == JCS_YCCK;
}

// libjpeg delivers CMYK (and YCCK, converted) as ink values. Files with an Adobe APP14
// marker (Photoshop, ImageMagick, libjpeg itself) store them inverted, 255 meaning no
// ink; others store plain ink amounts. Each channel is the ink's complement times the
// black's complement, rounded: R = (255 - C) * (255 - K) / 255 for plain values, which
// for inverted values is c * k / 255 (what djpeg does).
void ConvertCmykRowToBgr(const uint8_t* src, uint8_t* dst, int width, bool inverted) {
    const uint8_t flip = inverted ? 0 : 255;
    for (int x = 0; x < width; ++x, src += 4, dst += 3) {
        unsigned c = src[0] ^ flip, m = src[1] ^ flip, y = src[2] ^ flip, k = src[3] ^ flip;
        dst[0] = uint8_t((2 * y * k + 255) / 510);
        dst[1] = uint8_t((2 * m * k + 255) / 510);
        dst[2] = uint8_t((2 * c * k + 255) / 510);
    }
}

// The same luminance weights libjpeg uses for its own RGB to grey conversion.
void ConvertCmykRowToGrey(const uint8_t* src, uint8_t* dst, int width, bool inverted) {
    uint8_t bgr[3];
    for (int x = 0; x < width; ++x, src += 4) {
        ConvertCmykRowToBgr(src, bgr, 1, inverted);
        dst[x] = uint8_t((19595u * bgr[2] + 38470u * bgr[1] + 7471u * bgr[0] + 32768u) >> 16);
    }
}

std::vector<raster::Rgb> GreyRamp() {
    std::vector<raster::Rgb> palette(256);
    for (int i = 0; i < 256; ++i) palette[i] = raster::MakeRgb(uint8_t(i), uint8_t(i), uint8_t(i));
    return palette;
}

// What libjpeg hands us per row and what we make of it.
enum class Output {
    Bgr,         // 24-bit rows straight from libjpeg
    Grey,        // 8-bit grey rows, grey ramp palette
    Quantised,   // 8-bit colour indexes, libjpeg's colormap as palette
    CmykToBgr,   // 4-byte ink rows converted by us
    CmykToGrey,  // the same, then to grey
};

raster::Bitmap Decode(const std::string& bytes, const JpegSettings& settings,
                      Orientation orientation) {
    Decoder d;
    d.ReadHeader(bytes);
    jpeg_decompress_struct& cinfo = d.cinfo;

    const bool bestQuality = settings.Performance == JpegPerformance::BestQuality;
    cinfo.dct_method = bestQuality ? JDCT_ISLOW : JDCT_IFAST;
    cinfo.do_fancy_upsampling = settings.Smoothing ? TRUE : FALSE;

    const bool cmyk = IsCmyk(cinfo);
    const bool palette = settings.PixelFormat == JpegPixelFormat::Bits8;
    Output output;
    if (cmyk) {
        output = settings.GrayScale ? Output::CmykToGrey : Output::CmykToBgr;
        cinfo.out_color_space = JCS_CMYK;
    } else if (settings.GrayScale || (palette && cinfo.jpeg_color_space == JCS_GRAYSCALE)) {
        // A grey picture needs no quantising: its 256 levels are the palette.
        output = Output::Grey;
        cinfo.out_color_space = JCS_GRAYSCALE;
    } else if (palette) {
        output = Output::Quantised;
        cinfo.out_color_space = JCS_RGB;
        cinfo.quantize_colors = TRUE;
        cinfo.desired_number_of_colors = 256;
        cinfo.two_pass_quantize = bestQuality ? TRUE : FALSE;
        cinfo.dither_mode = bestQuality ? JDITHER_FS : JDITHER_ORDERED;
    } else {
        output = Output::Bgr;
        cinfo.out_color_space = JCS_EXT_BGR;
    }

    d.CalcOutputDimensions(settings.Scale);
    const int width = static_cast<int>(cinfo.output_width);
    const int height = static_cast<int>(cinfo.output_height);
    // Checked before libjpeg allocates its image buffers in jpeg_start_decompress.
    if (uint64_t(width) * uint64_t(height) > raster::Bitmap::kMaxPixels)
        throw core::Error("The picture is too large (" + std::to_string(width) + " x " +
                          std::to_string(height) + " pixels).");

    const uint64_t blocks = BlockCount(cinfo);
    d.err.scanLimit = int(std::clamp<uint64_t>(kScanBlockBudget / std::max<uint64_t>(blocks, 1),
                                               kMinScanLimit, kMaxScans));

    Guarded(d.err, [&] { jpeg_start_decompress(&cinfo); });

    const bool eightBit = output != Output::Bgr && output != Output::CmykToBgr;
    // The rows go straight into the upright bitmap.
    UprightRows rows(width, height,
                     eightBit ? raster::PixelFormat::Bits8 : raster::PixelFormat::Bits24,
                     orientation);
    raster::Bitmap& bitmap = rows.Upright();
    if (output == Output::Quantised) {
        // The colour map is ready once the first (counting) pass has run, and goes away
        // with jpeg_finish_decompress.
        std::vector<raster::Rgb>& entries = bitmap.Palette();
        const int count = std::min(cinfo.actual_number_of_colors, int(entries.size()));
        for (int i = 0; i < count; ++i)
            entries[i] =
                raster::MakeRgb(cinfo.colormap[0][i], cinfo.colormap[1][i], cinfo.colormap[2][i]);
    } else if (eightBit) {
        bitmap.Palette() = GreyRamp();
    }
    std::vector<uint8_t> inkRow;
    if (cmyk) inkRow.resize(size_t(width) * 4);
    const bool inverted = cinfo.saw_Adobe_marker;

    Guarded(d.err, [&] {
        while (cinfo.output_scanline < cinfo.output_height) {
            const int y = static_cast<int>(cinfo.output_scanline);
            JSAMPROW row = cmyk ? inkRow.data() : rows.Row(y);
            jpeg_read_scanlines(&cinfo, &row, 1);
            if (output == Output::CmykToBgr)
                ConvertCmykRowToBgr(row, rows.Row(y), width, inverted);
            else if (output == Output::CmykToGrey)
                ConvertCmykRowToGrey(row, rows.Row(y), width, inverted);
            rows.Done(y);
        }
        jpeg_finish_decompress(&cinfo);
    });

    // libjpeg cannot quantise four-channel data, so CMYK pictures for palette displays
    // are mapped to the standard palette after conversion.
    if (output == Output::CmykToBgr && palette) return bitmap.ConvertTo(raster::PixelFormat::Bits8);
    return std::move(bitmap);
}

struct Encoder {
    jpeg_compress_struct cinfo{};
    ErrorManager err{};
    unsigned char* out = nullptr;  // grown by libjpeg with malloc
    unsigned long outSize = 0;

    Encoder() {
        InstallErrorManager(err);
        cinfo.err = &err.pub;
    }
    ~Encoder() {
        jpeg_destroy_compress(&cinfo);
        std::free(out);
    }
    Encoder(const Encoder&) = delete;
    Encoder& operator=(const Encoder&) = delete;
};

}  // namespace

JpegSettings& JpegDefaults() {
    static JpegSettings settings;
    return settings;
}

void UseJpegPaletteOutput(int displayBits) {
    JpegDefaults().PixelFormat =
        displayBits <= 8 ? JpegPixelFormat::Bits8 : JpegPixelFormat::Bits24;
}

int JpegPicture::Width() const {
    const Size& stored = m_sizes[static_cast<size_t>(m_settings.Scale)];
    return SwapsAxes(m_orientation) ? stored.Height : stored.Width;
}
int JpegPicture::Height() const {
    const Size& stored = m_sizes[static_cast<size_t>(m_settings.Scale)];
    return SwapsAxes(m_orientation) ? stored.Width : stored.Height;
}

void JpegPicture::SetScale(JpegScale scale) {
    if (scale == m_settings.Scale) return;
    m_settings.Scale = scale;
    m_decoded = raster::Bitmap();
}

void JpegPicture::DecodeNow() {
    if (IsDecoded()) return;
    m_decoded = Decode(m_bytes, m_settings, m_orientation);
}

void JpegPicture::Draw(raster::Bitmap& target, const core::Rect& rect) {
    DecodeNow();
    raster::StretchDraw(target, rect, m_decoded);
}

std::unique_ptr<JpegPicture> ReadJpeg(std::string bytes) {
    return ReadJpeg(std::move(bytes), JpegDefaults());
}

std::unique_ptr<JpegPicture> ReadJpeg(std::string bytes, const JpegSettings& settings) {
    std::unique_ptr<JpegPicture> picture(new JpegPicture());
    {
        Decoder d;
        d.ReadHeader(bytes);
        CheckEnoughData(d.cinfo, bytes.size());
        for (JpegScale scale :
             {JpegScale::Full, JpegScale::Half, JpegScale::Quarter, JpegScale::Eighth}) {
            d.CalcOutputDimensions(scale);
            picture->m_sizes[static_cast<size_t>(scale)] = {
                static_cast<int>(d.cinfo.output_width), static_cast<int>(d.cinfo.output_height)};
        }
    }
    picture->m_orientation = ReadJpegOrientation(bytes);
    picture->m_bytes = std::move(bytes);
    picture->m_settings = settings;
    return picture;
}

std::string EncodeJpeg(const raster::Bitmap& bitmap, int quality) {
    raster::Bitmap converted;
    const raster::Bitmap* source = &bitmap;
    if (bitmap.Format() != raster::PixelFormat::Bits24) {
        converted = bitmap.ConvertTo(raster::PixelFormat::Bits24);
        source = &converted;
    }
    Encoder e;
    Guarded(e.err, [&] {
        jpeg_create_compress(&e.cinfo);
        jpeg_mem_dest(&e.cinfo, &e.out, &e.outSize);
        e.cinfo.image_width = static_cast<JDIMENSION>(source->Width());
        e.cinfo.image_height = static_cast<JDIMENSION>(source->Height());
        e.cinfo.input_components = 3;
        e.cinfo.in_color_space = JCS_EXT_BGR;
        jpeg_set_defaults(&e.cinfo);
        jpeg_set_quality(&e.cinfo, std::clamp(quality, 1, 100), TRUE);
        jpeg_start_compress(&e.cinfo, TRUE);
        while (e.cinfo.next_scanline < e.cinfo.image_height) {
            // libjpeg only reads the row, whatever its prototype says.
            JSAMPROW row =
                const_cast<uint8_t*>(source->Scanline(static_cast<int>(e.cinfo.next_scanline)));
            jpeg_write_scanlines(&e.cinfo, &row, 1);
        }
        jpeg_finish_compress(&e.cinfo);
    });
    return std::string(reinterpret_cast<const char*>(e.out), e.outSize);
}

}  // namespace codecs
