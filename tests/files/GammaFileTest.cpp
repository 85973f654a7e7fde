#include <gtest/gtest.h>

#include <fstream>
#include <vector>

#include "files/GammaFile.h"
#include "support/TempFolder.h"

namespace {

GammaTables Filled(int red, int green, int blue)
{
    GammaTables tables;
    tables[0].fill(red);
    tables[1].fill(green);
    tables[2].fill(blue);
    return tables;
}

GammaTables ReadText(const TempFolder& folder, const std::string& text, const GammaTables& before,
                     int* dataLines = nullptr)
{
    const std::string path = folder.File("read.csv");
    std::ofstream(path, std::ios::binary) << text;
    GammaTables tables = before;
    const int read = GammaFile::Read(path, tables);
    EXPECT_GE(read, 0);
    if (dataLines)
        *dataLines = read;
    return tables;
}

}  // namespace

TEST(GammaFile, SavedTablesReadBackIdentical)
{
    TempFolder folder;
    GammaTables tables;
    for (int k = 0; k < kLutEntries; ++k) {
        tables[0][k] = 16 * k;
        tables[1][k] = 8191 - 16 * k;
        tables[2][k] = (k * 37) % 8192;
    }
    const std::string path = folder.File("gamma.csv");
    ASSERT_TRUE(GammaFile::Write(path, tables));
    const std::string text = FileText(path);
    EXPECT_EQ(text.substr(0, 37), "GammaData (R G B)\r\n0,8191,0\r\n16,8175,") << "header, then CR LF lines";
    GammaTables back = Filled(1, 1, 1);
    ASSERT_TRUE(GammaFile::Read(path, back));
    EXPECT_EQ(back, tables);

    GammaTables untouched = tables;   // missing files: the editor's test; a failed write: SafeFile's
    std::string why;
    EXPECT_EQ(GammaFile::Read(folder.path, untouched, &why), -1) << "a folder cannot be read as a file";
    EXPECT_EQ(why, folder.path + ": Is a directory");
    EXPECT_EQ(untouched, tables);
}

TEST(GammaFile, LenientReader)
{
    TempFolder folder;
    const GammaTables before = Filled(3, 4, 5);

    GammaTables t = ReadText(folder, "GammaData (R G B)\n-5,12.5,7,99\r\n\r\n,,\n1,2\n", before);
    EXPECT_EQ((std::array<int, 3>{t[0][0], t[1][0], t[2][0]}), (std::array<int, 3>{5, 125, 7}))
        << "signs and points are ignored; a fourth field is dropped";
    EXPECT_EQ((std::array<int, 3>{t[0][1], t[1][1], t[2][1]}), (std::array<int, 3>{1, 2, 0}))
        << "a line of commas only is skipped; a missing field gives 0";
    EXPECT_EQ(t[0][2], 3) << "entries beyond the last data line keep their values";

    t = ReadText(folder, "9000,99999999999999999999999999999999,0008191\n", before);
    EXPECT_EQ((std::array<int, 3>{t[0][0], t[1][0], t[2][0]}), (std::array<int, 3>{8191, 8191, 8191}))
        << "any value above 8191, however many digits, is 8191";

    std::string lines;
    for (int i = 0; i < 600; ++i)
        lines += std::to_string(i) + ",0,0\r\n";
    t = ReadText(folder, lines, before);
    EXPECT_EQ(t[0][510], 510);
    EXPECT_EQ(t[0][511], 599) << "the 512th and later data lines all land in entry 511";

    lines.clear();
    for (int i = 0; i < 10; ++i)
        lines += std::to_string(i + 100) + ",1,1\n";
    t = ReadText(folder, lines, before);
    EXPECT_EQ(t[0][9], 109);
    EXPECT_EQ(t[0][10], 3) << "ten data lines change entries 0 to 9 only";

    // Pieces of 127 characters, the line end counted: 126 digits and LF are
    // one line, 127 digits a piece and an empty line, 128 two pieces.
    const std::string digits126 = std::string(125, '0') + "1";
    int dataLines = 0;
    t = ReadText(folder, digits126 + "\n" + digits126 + "2\n" + digits126 + "34\n" + std::string(50, '2') + "5",
                 before, &dataLines);
    EXPECT_EQ(dataLines, 5);
    EXPECT_EQ((std::vector<int>{t[0][0], t[0][1], t[0][2], t[0][3], t[0][4]}), (std::vector<int>{1, 12, 13, 4, 8191}))
        << "the rest of a long line is a piece of its own; a last line without line end counts";

    t = ReadText(folder, "\xEF\xBB\xBF" "GammaData (R G B)\r1,2,3\r4,5,6\r\n7,8,9\n", before, &dataLines);
    EXPECT_EQ(dataLines, 3) << "CR alone, CR LF and LF each end a line";
    EXPECT_EQ((std::array<int, 3>{t[0][1], t[1][1], t[2][2]}), (std::array<int, 3>{4, 5, 9}));

    t = ReadText(folder, std::string("\0\x01\xff,7\0,8", 9), before);
    EXPECT_EQ((std::array<int, 3>{t[0][0], t[1][0], t[2][0]}), (std::array<int, 3>{0, 7, 8}))
        << "binary bytes are ignored like letters";
    for (const std::string& nothing : {std::string(), std::string(100000, ','), std::string("GammaData (R G B)\r\n")}) {
        EXPECT_EQ(ReadText(folder, nothing, before, &dataLines), before);
        EXPECT_EQ(dataLines, 0) << "a file without a data line holds nothing usable";
    }
}
