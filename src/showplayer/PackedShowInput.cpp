#include "showplayer/PackedShowInput.h"

#include "pack/BlockFormat.h"

namespace showplayer {

namespace {

// The media framework may choose a decoder by the extension, so a plain one is kept.
std::string MusicFileName(size_t index, std::string_view originalPath) {
    std::string name = "music-" + std::to_string(index + 1);
    std::string_view ext = pack::ExtensionOf(originalPath);
    bool plain = !ext.empty() && ext.size() <= 8;
    for (char c : ext)
        plain =
            plain && ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9'));
    return plain ? name + "." + std::string(ext) : name;
}

}  // namespace

player::ShowInput MakeShowInput(const pack::PackedShow& show,
                                const pack::TemporaryFolder& musicFolder) {
    const project::ShowParts& parts = show.Parts();
    player::ShowInput input;
    for (int i = 0; i < settings::kSlotCount; ++i)
        input.Settings.SetSlot(i, parts.Slots[size_t(i)]);
    input.Pictures = parts.Pictures;
    input.EffectSet = parts.Effects;
    for (size_t i = 0; i < show.MusicCount(); ++i) {
        input.Music.push_back(
            musicFolder.WriteFile(MusicFileName(i, (*parts.Music)[i]), show.MusicBlock(i)));
        show.Forget(show.MusicBlock(i));
    }
    input.OpenPicture = [&show](size_t index) { return show.DecodePicture(index); };
    input.OpenBackground = [&show] {
        std::unique_ptr<codecs::Picture> picture = show.DecodeBackground();
        if (!picture) return raster::Bitmap();
        raster::Bitmap bitmap(picture->Width(), picture->Height(), raster::PixelFormat::Bits32);
        picture->Draw(bitmap, {0, 0, bitmap.Width(), bitmap.Height()});
        return bitmap;
    };
    return input;
}

}  // namespace showplayer
