#include <gtest/gtest.h>

#include <string_view>

#include "codecs/Picture.h"
#include "core/Error.h"

namespace {

// The editor adds and previews exactly these spellings; the loader reads any case.
TEST(PictureLoader, PictureExtensionsAreAllLowerOrAllUpperCase) {
    for (std::string_view name :
         {"a.jpg", "a.JPG", "a.jpeg", "a.JPEG", "a.GIF", "a.gif", "a.bmp", "/x.y/a.BMP", ".bmp"})
        EXPECT_TRUE(codecs::IsPictureExtension(name)) << name;
    for (std::string_view name : {"a.Jpg", "a.Gif", "a.bMP", "a.png", "a", "/x.jpg/", "jpg",
                                  "a.bmp.txt", "a.", "a.jpg ", ""})
        EXPECT_FALSE(codecs::IsPictureExtension(name)) << name;
}

TEST(PictureLoader, UnknownExtensionIsRefusedBeforeTheFileIsRead) {
    try {
        codecs::LoadPicture("/no/such/folder/picture.png");
        FAIL() << "no error";
    } catch (const core::FileError&) {
        FAIL() << "the file was opened";
    } catch (const core::Error& error) {
        EXPECT_STREQ(error.what(), "Unknown picture file extension (.png)");
    }
}

}  // namespace
