#include "cli/Commands.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <stdexcept>

#include "codecs/BmpPicture.h"
#include "codecs/GifPicture.h"
#include "codecs/JpegPicture.h"
#include "codecs/Picture.h"
#include "core/StringList.h"
#include "project/ProjectFile.h"

namespace cli {

namespace {

const char* const kSlotLabels[settings::kSlotCount] = {
    "advance", "picture size",    "effect mode",          "music mode", "background data",
    "loop",    "background kind", "background placement", "caption",    "shadow",
};

codecs::JpegScale ParseScale(const std::string& text) {
    if (text == "1/1") return codecs::JpegScale::Full;
    if (text == "1/2") return codecs::JpegScale::Half;
    if (text == "1/4") return codecs::JpegScale::Quarter;
    if (text == "1/8") return codecs::JpegScale::Eighth;
    throw std::runtime_error("--scale takes 1/2, 1/4 or 1/8, not \"" + text + "\"");
}

}  // namespace

int Decode(const std::vector<std::string>& args) {
    std::vector<std::string> files;
    codecs::JpegScale scale = codecs::JpegScale::Full;
    bool scaleGiven = false;
    for (size_t i = 0; i < args.size(); ++i) {
        if (args[i] == "--scale") {
            if (i + 1 >= args.size()) throw std::runtime_error("--scale needs a value");
            scale = ParseScale(args[++i]);
            scaleGiven = true;
        } else {
            files.push_back(args[i]);
        }
    }
    if (files.size() != 2) throw std::runtime_error("decode needs IN and OUT.bmp");
    // The output is always BMP data; another extension would mislabel it.
    const std::string& target = files[1];
    if (target.size() < 4 || !std::equal(target.end() - 4, target.end(), ".bmp",
                                         [](char a, char b) { return std::tolower(a) == b; }))
        throw std::runtime_error(
            "decode writes BMP files: the output name must end in .bmp, not \"" + target + "\"");

    auto picture = codecs::LoadPicture(files[0]);
    raster::Bitmap converted;
    const raster::Bitmap* out = &converted;
    if (auto* jpeg = dynamic_cast<codecs::JpegPicture*>(picture.get())) {
        jpeg->SetScale(scale);
        jpeg->DecodeNow();
        // A 24-bit decode is written as it is, so a large picture is held only once.
        if (jpeg->Decoded().Format() == raster::PixelFormat::Bits24)
            out = &jpeg->Decoded();
        else
            converted = jpeg->Decoded().ConvertTo(raster::PixelFormat::Bits24);
    } else {
        if (scaleGiven) throw std::runtime_error("--scale applies to JPEG pictures only");
        if (auto* gif = dynamic_cast<codecs::GifPicture*>(picture.get()))
            converted = gif->RenderFrame(0).ConvertTo(raster::PixelFormat::Bits24);
        else
            picture->AssignTo(converted);
    }
    codecs::WriteBmpFile(files[1], *out);
    std::printf("%s: %d x %d\n", files[1].c_str(), out->Width(), out->Height());
    return 0;
}

void PrintShowParts(const project::ShowParts& parts) {
    for (int i = 0; i < settings::kSlotCount; ++i)
        std::printf("slot %d (%s): %s\n", i, kSlotLabels[i], parts.Slots[size_t(i)].c_str());
    std::printf("pictures: %zu\n", parts.Pictures.size());
    std::printf("effects:");
    for (const auto& e : parts.Effects) std::printf(" %s", e.c_str());
    const bool musicOn = parts.Music.has_value();
    std::printf("\nmusic: %s\n", musicOn ? (parts.Music->empty() ? "(empty list)" : "") : "off");
    if (musicOn)
        for (const auto& m : *parts.Music) std::printf("  %s\n", m.c_str());
}

int Info(const std::vector<std::string>& args) {
    if (args.size() != 1) throw std::runtime_error("info needs one PROJECT.orv or packed show");
    if (PrintPackedShowInfo(args[0])) return 0;
    PrintShowParts(project::ParseSettingsBlock(
        core::LoadStringList(args[0], project::kMaxProjectFileBytes), args[0]));
    return 0;
}

}  // namespace cli
