// Runs with LD_LIBRARY_PATH naming only KAVRO_SWAP_DIR, an empty folder of the
// build tree, so the test decides which library the bare names find.

#include "TestSupport.h"

#include "comm/camlink/ClSerialLib.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace fs = std::filesystem;
namespace {

const std::string kSwapDir = KAVRO_SWAP_DIR;

void Uninstall(const std::string& name)
{
    fs::remove(kSwapDir + "/" + name);
}

// A new file rather than an overwrite, so a mapping of the old one is never changed under it.
void Install(const std::string& fromFolder, const std::string& name)
{
    Uninstall(name);
    fs::copy_file(fromFolder + "/" + name, kSwapDir + "/" + name);
}

}  // namespace

TEST(ClSerialLibSwap, LibrariesThatCannotBeLoaded)
{
    Uninstall("libclserial.so");
    Uninstall("libclallserial.so");
    SetClSim("makers=Kavro Grabbers,Other Maker");
    ClSerialLib lib(kGrabberDir);
    ClSerialLib::Selection line;

    lib.ListManufacturers();
    EXPECT_TRUE(lib.Manufacturers().empty()) << "no maker library installed";
    line.kind = ClSerialLib::Maker;
    line.name = "Kavro Grabbers";
    EXPECT_FALSE(lib.ClOpen(line)) << "opening without the maker library";
    lib.ClClose(line.kind);

    Install(kClSimDir, "libclserial.so");
    lib.ListManufacturers();
    ASSERT_EQ(lib.Manufacturers(), (Texts{"Kavro Grabbers", "Other Maker"})) << "once installed";
    Uninstall("libclserial.so");
    lib.ListManufacturers();
    EXPECT_EQ(lib.Manufacturers(), (Texts{"Kavro Grabbers", "Other Maker"}))
        << "a maker library that went away keeps the makers found earlier";

    Install(kClSimDir, "libclallserial.so");
    lib.ListClPorts();
    ASSERT_EQ(lib.ClPorts().size(), 2u) << "the complete all-ports library lists its ports";
    Install(kBrokenDir, "libclallserial.so");
    lib.ListClPorts();
    EXPECT_TRUE(lib.ClPorts().empty()) << "a library without clFlushPort empties the port list";
    line.kind = ClSerialLib::AllPorts;
    line.channel = 0;
    EXPECT_FALSE(lib.ClOpen(line)) << "and cannot be opened";
    EXPECT_EQ(lib.OpenProblem(), "libclallserial.so (" + kSwapDir + "/libclallserial.so) lacks clFlushPort")
        << "naming the file the library search found";
    EXPECT_FALSE(IsLibraryMapped("libclallserial.so")) << "nor is it kept loaded";
    lib.ClClose(line.kind);

    Uninstall("libclallserial.so");
}
