#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

#include <unistd.h>

#include "foundation/NSBundle.h"
#include "graphics/CGImage.h"
#include "graphics/PNGCodec.h"
#include "graphics/UIImage.h"

namespace fs = std::filesystem;

// A temporary bundle folder holding small PNGs, made the main bundle.
class ImageNamed : public ::testing::Test {
protected:
    void SetUp() override {
        folder = fs::temp_directory_path() / ("velmaro-images-" + std::to_string(::getpid()) + "-" +
                                              ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::create_directories(folder / "Kit.bundle");
        NSBundle::setMainBundlePath(folder.string());
    }
    void TearDown() override {
        NSBundle::setMainBundlePath("");
        fs::remove_all(folder);
    }
    // A width x height opaque PNG at `relativePath`.
    void writePNG(const std::string& relativePath, std::size_t width, std::size_t height) {
        std::vector<std::uint8_t> rgba(width * height * 4, 255);
        auto data = PNGCodec::encode(*CGImage::imageWithRGBA(width, height, rgba));
        ASSERT_TRUE(data);
        std::ofstream file(folder / relativePath, std::ios::binary);
        file.write(reinterpret_cast<const char*>(data->bytes()), static_cast<std::streamsize>(data->length()));
    }

    fs::path folder;
};

TEST_F(ImageNamed, PrefersTheDoubleScaleFileAndTakesTheNameWithOrWithoutExtension) {
    writePNG("icon.png", 10, 10);
    writePNG("icon@2x.png", 20, 20);
    writePNG("icon@3x.png", 30, 30);
    auto image = UIImage::imageNamed("icon");
    ASSERT_TRUE(image);
    EXPECT_EQ(image->scale(), 2);
    EXPECT_EQ(image->size().width, 10);
    EXPECT_EQ(UIImage::imageNamed("icon.png"), image);

    writePNG("only@3x.png", 30, 30);
    writePNG("plain.png", 8, 4);
    EXPECT_EQ(UIImage::imageNamed("only")->scale(), 3);
    EXPECT_EQ(UIImage::imageNamed("plain")->size().width, 8);
}

TEST_F(ImageNamed, FindsImagesInSubfoldersAndCachesThem) {
    writePNG("Kit.bundle/success@2x.png", 74, 74);
    auto first = UIImage::imageNamed("Kit.bundle/success.png");
    ASSERT_TRUE(first);
    EXPECT_EQ(first->size().width, 37);
    fs::remove(folder / "Kit.bundle/success@2x.png");
    EXPECT_EQ(UIImage::imageNamed("Kit.bundle/success.png"), first);
}

TEST_F(ImageNamed, AnswersNothingForMissingDamagedOrEscapingNames) {
    EXPECT_EQ(UIImage::imageNamed("missing"), nullptr);
    EXPECT_EQ(UIImage::imageNamed(""), nullptr);
    std::ofstream(folder / "broken@2x.png") << "not a picture";
    EXPECT_EQ(UIImage::imageNamed("broken"), nullptr);

    writePNG("Kit.bundle/inside@2x.png", 4, 4);
    EXPECT_EQ(UIImage::imageNamed("Kit.bundle/../Kit.bundle/inside"), nullptr);
    EXPECT_EQ(UIImage::imageNamed("./Kit.bundle/inside"), nullptr);
    EXPECT_EQ(UIImage::imageNamed((folder / "Kit.bundle/inside").string()), nullptr);
    EXPECT_EQ(UIImage::imageNamed("Kit.bundle//inside"), nullptr);
    EXPECT_NE(UIImage::imageNamed("Kit.bundle/inside"), nullptr);
}
