#include "media/CodeReader.h"

#include <gtest/gtest.h>

#include "CodePictures.h"
#include "media/Code128Encoder.h"
#include "media/QRCodeEncoder.h"

using Symbology = CodeReader::Symbology;
using Level = QRCodeEncoder::CorrectionLevel;

namespace {

const std::vector<Symbology> kAll = {Symbology::QRCode, Symbology::EAN13, Symbology::Code128};

QRCodeEncoder::Symbol qr(std::string_view text, Level level = Level::M) {
    auto symbol = QRCodeEncoder::symbolForData(NSData::fromString(text), level);
    EXPECT_TRUE(symbol.has_value()) << text;
    return symbol.value_or(QRCodeEncoder::Symbol{});
}

std::vector<CodeReader::Code> readQR(const QRCodeEncoder::Symbol& symbol) {
    auto picture = CodePictures::page(symbol.size * 4 + 32, symbol.size * 4 + 32);
    CodePictures::paintQR(picture, symbol, 16, 16, 4);
    return CodeReader::codesInPicture(picture, kAll);
}

std::optional<std::string> readCode128(std::string_view text) {
    auto modules = Code128Encoder::modulesForText(text);
    if (!modules) return std::nullopt;
    auto picture = CodePictures::page(modules->size() * 2 + 40, 60);
    CodePictures::paintBars(picture, *modules, 20, 10, 2, 40);
    auto codes = CodeReader::codesInPicture(picture, kAll);
    if (codes.size() != 1 || codes[0].symbology != Symbology::Code128) return std::nullopt;
    return codes[0].text;
}

}  // namespace

TEST(QRCodeEncoderTest, EncodedTextReadsBackAtEveryCorrectionLevel) {
    for (auto level : {Level::L, Level::M, Level::Q, Level::H}) {
        for (std::string text : {"abc", "扫描结果：二维码测试", "https://example.com/promo?id=42&from=app#top"}) {
            auto codes = readQR(qr(text, level));
            ASSERT_EQ(codes.size(), 1u) << text;
            EXPECT_EQ(codes[0].symbology, Symbology::QRCode);
            EXPECT_EQ(codes[0].text, text);
        }
    }
}

TEST(QRCodeEncoderTest, HigherCorrectionNeedsALargerSymbolAndTooMuchDataGivesNothing) {
    std::string text(100, 'q');
    EXPECT_LT(qr(text, Level::L).size, qr(text, Level::H).size);
    EXPECT_EQ(qr("1", Level::L).size, 21u);  // the smallest symbol
    EXPECT_FALSE(QRCodeEncoder::symbolForData(NSData::fromString(std::string(3000, 'x')), Level::H));
    EXPECT_FALSE(QRCodeEncoder::symbolForData(NSData(), Level::M));
}

TEST(QRCodeEncoderTest, CorrectionLevelNames) {
    EXPECT_EQ(QRCodeEncoder::correctionLevelNamed("Q"), Level::Q);
    EXPECT_FALSE(QRCodeEncoder::correctionLevelNamed("q"));
    EXPECT_FALSE(QRCodeEncoder::correctionLevelNamed("HH"));
}

TEST(CodeReaderTest, QRCornersGoAroundTheSymbolFromTopLeftCounterClockwise) {
    auto symbol = qr("corners");
    auto codes = readQR(symbol);
    ASSERT_EQ(codes.size(), 1u);
    ASSERT_EQ(codes[0].corners.size(), 4u);
    double first = 16, last = 16 + symbol.size * 4.0;
    auto near = [](CodeReader::Point p, double x, double y) { return std::abs(p.x - x) <= 2 && std::abs(p.y - y) <= 2; };
    EXPECT_TRUE(near(codes[0].corners[0], first, first));
    EXPECT_TRUE(near(codes[0].corners[1], first, last));
    EXPECT_TRUE(near(codes[0].corners[2], last, last));
    EXPECT_TRUE(near(codes[0].corners[3], last, first));
}

TEST(CodeReaderTest, TwoQRCodesInOnePictureAreBothFoundWhereTheyAre) {
    auto left = qr("left code"), right = qr("right code");
    auto picture = CodePictures::page(400, 160);
    CodePictures::paintQR(picture, left, 20, 20, 4);
    CodePictures::paintQR(picture, right, 260, 40, 4);
    auto codes = CodeReader::codesInPicture(picture, kAll);
    ASSERT_EQ(codes.size(), 2u);
    for (const auto& code : codes) {
        ASSERT_EQ(code.corners.size(), 4u);
        bool isLeft = code.text == "left code";
        EXPECT_TRUE(isLeft || code.text == "right code");
        for (auto corner : code.corners) EXPECT_EQ(corner.x < 200, isLeft);
    }
}

TEST(CodeReaderTest, OnlyTheWantedSymbologiesAreReported) {
    auto modules = Code128Encoder::modulesForText("BAR-42");
    ASSERT_TRUE(modules);
    auto picture = CodePictures::page(460, 200);
    CodePictures::paintBars(picture, *modules, 20, 120, 2, 60);
    CodePictures::paintQR(picture, qr("QR next to a bar code"), 20, 10, 4);

    auto qrOnly = CodeReader::codesInPicture(picture, {Symbology::QRCode});
    ASSERT_EQ(qrOnly.size(), 1u);
    EXPECT_EQ(qrOnly[0].text, "QR next to a bar code");
    auto barsOnly = CodeReader::codesInPicture(picture, {Symbology::Code128});
    ASSERT_EQ(barsOnly.size(), 1u);
    EXPECT_EQ(barsOnly[0].text, "BAR-42");
    // The box around the bars.
    ASSERT_EQ(barsOnly[0].corners.size(), 4u);
    EXPECT_LT(barsOnly[0].corners[0].x, barsOnly[0].corners[2].x);
    EXPECT_GE(barsOnly[0].corners[0].y, 110);
    EXPECT_TRUE(CodeReader::codesInPicture(picture, {Symbology::EAN13}).empty());
}

TEST(CodeReaderTest, PicturesWithoutCodesOrOfTheWrongSizeGiveNothing) {
    EXPECT_TRUE(CodeReader::codesInPicture(CodePictures::page(50, 50), kAll).empty());
    EXPECT_TRUE(CodeReader::codesInPicture({10, 10, std::vector<std::uint8_t>(99, 0)}, kAll).empty());
    EXPECT_TRUE(CodeReader::codesInPicture({0, 0, {}}, kAll).empty());
}

TEST(Code128EncoderTest, EveryPrintableCharacterReadsBack) {
    std::string printable;
    for (char c = 32; c < 127; ++c) printable += c;
    EXPECT_EQ(readCode128(printable.substr(0, 48)), printable.substr(0, 48));
    EXPECT_EQ(readCode128(printable.substr(48)), printable.substr(48));
}

TEST(Code128EncoderTest, DigitRunsArePackedInPairs) {
    // Code set C spends one symbol (11 modules) on two digits.
    auto digits = Code128Encoder::modulesForText("12345678");
    auto letters = Code128Encoder::modulesForText("abcdefgh");
    ASSERT_TRUE(digits && letters);
    EXPECT_EQ(digits->size(), 11u * (1 + 4 + 1) + 13);
    EXPECT_EQ(letters->size(), 11u * (1 + 8 + 1) + 13);
    for (std::string text : {"12345678", "1234567", "12", "1", "ab123456cd", "ab1234", "9abc", "x12y345678901z"})
        EXPECT_EQ(readCode128(text), text);
    std::string allPairs;
    for (int pair = 0; pair < 100; ++pair) allPairs += std::to_string(pair / 10) + std::to_string(pair % 10);
    EXPECT_EQ(readCode128(allPairs), allPairs);
}

TEST(Code128EncoderTest, TextOutsidePrintableASCIIHasNoSymbol) {
    EXPECT_FALSE(Code128Encoder::modulesForText(""));
    EXPECT_FALSE(Code128Encoder::modulesForText("tab\there"));
    EXPECT_FALSE(Code128Encoder::modulesForText("价格"));
    auto modules = Code128Encoder::modulesForText("A");
    ASSERT_TRUE(modules);
    EXPECT_TRUE(modules->front());                                      // starts with a bar
    EXPECT_TRUE(modules->back());                                       // ends with the termination bar
    EXPECT_EQ(modules->size(), 11u * 3 + 13);                           // start, A, checksum, stop
}
