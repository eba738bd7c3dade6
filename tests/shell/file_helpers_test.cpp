#include <gtest/gtest.h>

#include <string>

#include "shell/file_helpers.h"
#include "tests/test_support.h"

using namespace shell;

TEST(TrimLineEnd, CutsBeforeTheFirstLineEndTabOrNul) {
    std::wstring text = L"abc\tdef\r\n";
    EXPECT_EQ(trimLineEnd(text), L"abc");
    EXPECT_EQ(text, L"abc");

    std::wstring withNul(L"abcd\0efg", 8);
    EXPECT_EQ(trimLineEnd(withNul), L"abcd");

    std::wstring plain = L"no line end";
    EXPECT_EQ(trimLineEnd(plain), L"no line end");
}

TEST(PathParts, FileNameFollowsTheLastBackslash) {
    EXPECT_EQ(fileNameOfPath(L"C:\\a\\b.wav"), L"b.wav");
    EXPECT_EQ(fileNameOfPath(L"b.wav"), L"b.wav");
    EXPECT_EQ(fileNameOfPath(L"C:\\a\\"), L"");
}

TEST(PathParts, ExtensionOnlyWhenTheDotIsInTheFileName) {
    EXPECT_EQ(fileExtension(L"C:\\a.b\\c"), L"");
    EXPECT_EQ(fileExtension(L"C:\\x\\y.MP3"), L"MP3");
    EXPECT_EQ(fileExtension(L"C:\\x\\y."), L"");
    EXPECT_EQ(fileExtension(L".wav"), L"wav");
    EXPECT_EQ(fileExtension(L"C:\\x\\y.tar.gz"), L"gz");
    EXPECT_EQ(fileExtension(L"noextension"), L"");
}

TEST(CheckChars, LatinLettersDigitsAndDotsCountHalf) {
    EXPECT_DOUBLE_EQ(checkChars(L"abcdefg12"), 4.5);
    EXPECT_DOUBLE_EQ(checkChars(L"\u4f60\u597d a"), 3.5);  // two Chinese characters, a blank, a letter
    EXPECT_DOUBLE_EQ(checkChars(L"v1.2-x"), 3.5);         // "-" counts one
    EXPECT_DOUBLE_EQ(checkChars(L""), 0.0);
}

class FileDialog : public testing_support::ProgramTest {};

TEST_F(FileDialog, RefusesADefaultNameThatLeavesNoRoomForItsEnd) {
    EXPECT_EQ(fileDialog(FileDialogMode::Open, L"t", L"All|*.*", std::wstring(260, L'x'), L"", L""), L"");
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].text, L"Filename Length Overflow");
    EXPECT_EQ(messages[0].caption, L"Kelvane - FileDialog Function");
    EXPECT_EQ(messages[0].style, static_cast<UINT>(MB_ICONEXCLAMATION));
    EXPECT_EQ(messages[0].timeoutMs, 0u);
}

// Picture headers are built here byte by byte.
class PictureSizeTest : public testing_support::ProgramTest {
protected:
    PictureSize sizeOf(const std::string& bytes) {
        std::wstring path = folder + L"\\picture.bin";
        testing_support::writeFile(path, bytes);
        return getpicturesize(path);
    }
    static std::string be16(int v) { return {char(v >> 8), char(v & 255)}; }
    static std::string le16(int v) { return {char(v & 255), char(v >> 8)}; }
    static std::string le32(int v) { return le16(v & 0xFFFF) + le16((v >> 16) & 0xFFFF); }

    static std::string png(int width, int height) {
        return std::string("\x89PNG\r\n\x1a\n", 8) + std::string("\0\0\0\x0dIHDR", 8) + be16(width >> 16) +
               be16(width) + be16(height >> 16) + be16(height) + std::string("\x08\x06\0\0\0", 5);
    }
    static std::string bmp(int width, int height) {
        return "BM" + le32(70) + le32(0) + le32(54) + le32(40) + le32(width) + le32(height) + le16(1) + le16(24);
    }
    static std::string segment(unsigned char marker, const std::string& body) {
        return std::string{'\xFF', char(marker)} + be16(int(body.size()) + 2) + body;
    }
    static std::string frame(unsigned char marker, int width, int height) {
        std::string precision = "\x08";
        return segment(marker, precision + be16(height) + be16(width) + std::string("\x03\x01\x22\0", 4));
    }
    static std::string jpegStart() { return "\xFF\xD8" + segment(0xE0, std::string("JFIF\0\x01\x01\0\0\x01\0\x01\0\0", 14)); }
    static std::string endOfImage() { return "\xFF\xD9"; }
};

TEST_F(PictureSizeTest, PngGifAndBmpHeaders) {
    EXPECT_EQ(sizeOf(png(640, 480)), (PictureSize{640, 480}));
    EXPECT_EQ(sizeOf("GIF89a" + le16(100) + le16(50) + std::string(7, '\0')), (PictureSize{100, 50}));
    EXPECT_EQ(sizeOf(bmp(300, 200)), (PictureSize{300, 200}));
}

TEST_F(PictureSizeTest, JpegTakesTheFirstFrameAfterOtherSegments) {
    std::string exif = segment(0xE1, std::string(5000, 'e'));  // reaches past one read block
    std::string table = segment(0xDB, std::string(65, 'q'));
    EXPECT_EQ(sizeOf(jpegStart() + exif + table + frame(0xC0, 800, 600) + frame(0xC0, 1, 1) + endOfImage()),
              (PictureSize{800, 600}));
    EXPECT_EQ(sizeOf(jpegStart() + table + frame(0xC2, 1024, 768) + endOfImage()), (PictureSize{1024, 768}));
    // Fill bytes before a marker are skipped.
    EXPECT_EQ(sizeOf(jpegStart() + "\xFF\xFF" + frame(0xC1, 64, 48)), (PictureSize{64, 48}));
    // C4 (a Huffman table) lies just above the frame markers.
    EXPECT_EQ(sizeOf(jpegStart() + segment(0xC4, "hh") + frame(0xC3, 32, 16)), (PictureSize{32, 16}));
}

TEST_F(PictureSizeTest, DimensionsOf32768OrMoreAreNotTaken) {
    EXPECT_EQ(sizeOf(png(40000, 480)), (PictureSize{0, 480}));
    EXPECT_EQ(sizeOf(bmp(100, -50)), (PictureSize{100, 0}));  // a top-down bitmap
}

TEST_F(PictureSizeTest, NoPictureGivesNoSize) {
    EXPECT_EQ(sizeOf("just some text, no picture at all"), (PictureSize{}));
    EXPECT_EQ(sizeOf(""), (PictureSize{}));
    EXPECT_EQ(getpicturesize(folder + L"\\missing.png"), (PictureSize{}));
    EXPECT_EQ(sizeOf(jpegStart() + endOfImage()), (PictureSize{}));
}

TEST_F(PictureSizeTest, TruncatedOrBrokenFilesEndWithoutASize) {
    EXPECT_EQ(sizeOf(png(640, 480).substr(0, 20)), (PictureSize{}));
    EXPECT_EQ(sizeOf("GIF8"), (PictureSize{}));
    EXPECT_EQ(sizeOf((jpegStart() + frame(0xC0, 800, 600)).substr(0, 24)), (PictureSize{}));
    EXPECT_EQ(sizeOf(jpegStart() + segment(0xE1, std::string(100, 'x')).substr(0, 50)), (PictureSize{}));
    EXPECT_EQ(sizeOf(std::string("\xFF\xD8\xFF\xE0\0\0", 6) + std::string(20, '\xFF')), (PictureSize{}));
    EXPECT_EQ(sizeOf(std::string("\xFF\xD8\xFF\xE0\0\0\0\0\0\0\0\0", 12)), (PictureSize{}));
}
