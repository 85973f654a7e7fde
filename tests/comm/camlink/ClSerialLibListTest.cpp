#include "TestSupport.h"
#include "support/TempFolder.h"

#include "comm/camlink/ClSerialLib.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

TEST(ClSerialLibLists, EntriesAndFilling)
{
    const Texts list = {"first", "second"};
    EXPECT_EQ(ClSerialLib::GetListEntry(list, 1), "second");
    EXPECT_EQ(ClSerialLib::GetListEntry(list, -1), "") << "index -1 gives no entry";
    EXPECT_EQ(ClSerialLib::GetListEntry(list, 2), "") << "an index past the end gives no entry";

    Texts combo = {"earlier"};
    EXPECT_EQ(ClSerialLib::FillPortList(list, combo), 2) << "the count is the list's, not the combo's";
    EXPECT_EQ(combo, (Texts{"earlier", "first", "second"})) << "entries are appended in order";
}

TEST(ClSerialLibLists, GrabberFolderListsClserLibrariesInNameOrder)
{
    TempFolder folder;
    for (const char* name : {"clserzeta.so", "clserkavro.so", "clserabc.so", "libclserial.so",
                             "clser.txt", "clserial.so.1", "Clserupper.so"})
        std::ofstream(folder.File(name)) << "x";
    std::filesystem::create_directory(folder.File("clserfolder.so"));

    ClSerialLib lib(folder.path);
    lib.ListGrabberLibraries();
    EXPECT_EQ(lib.GrabberLibraries(), (Texts{"clserabc.so", "clserkavro.so", "clserzeta.so"}))
        << "only files named clser*.so, bare names, sorted";

    std::filesystem::remove(folder.File("clserabc.so"));
    lib.ListGrabberLibraries();
    EXPECT_EQ(lib.GrabberLibraries(), (Texts{"clserkavro.so", "clserzeta.so"}))
        << "a second listing replaces the first";

    ClSerialLib missingLib(folder.File("no-such-folder"));
    missingLib.ListGrabberLibraries();
    EXPECT_TRUE(missingLib.GrabberLibraries().empty()) << "a folder that does not exist";
}

TEST(ClSerialLibLists, MakersAndPortsComeFromLibrariesUnloadedAfterwards)
{
    ClSerialLib lib(kGrabberDir);

    SetClSim("makers=Kavro Grabbers,Other Maker;ports=2");
    lib.ListManufacturers();
    EXPECT_EQ(lib.Manufacturers(), (Texts{"Kavro Grabbers", "Other Maker"}));
    EXPECT_FALSE(IsLibraryMapped("libclserial.so")) << "the maker listing unloads its library";

    lib.ListClPorts();
    EXPECT_EQ(lib.ClPorts(), (Texts{"Kavro Grabbers - Port 0", "Kavro Grabbers - Port 1",
                                    "Other Maker - Port 0", "Other Maker - Port 1"}))
        << "one \"maker - port\" entry per port of every maker";
    EXPECT_FALSE(IsLibraryMapped("libclallserial.so")) << "the port listing unloads its library";

    // A name too long for the 128-byte buffer is refused by the library: the
    // entry stays, and is empty rather than whatever the buffer held.
    SetClSim("makers=" + std::string(200, 'M') + ",Solo;ports=1");
    lib.ListManufacturers();
    EXPECT_EQ(lib.Manufacturers(), (Texts{"", "Solo"})) << "second listing replaces the first";
    lib.ListClPorts();
    EXPECT_EQ(lib.ClPorts(), (Texts{" - Port 0", "Solo - Port 0"}))
        << "every port keeps its index, so dllNo still opens the right one";

    // A library that lies about its count is a failed call, not a loop over four billion names.
    const std::pair<const char*, size_t> counts[] = {{"257", 0}, {"0xffffffff", 0}, {"256", 256}};   // -1 read unsigned
    for (const auto& [count, listed] : counts) {
        SetClSim(std::string("makers=Solo;count=") + count);
        lib.ListManufacturers();
        lib.ListClPorts();
        EXPECT_EQ(lib.Manufacturers().size(), listed) << "count " << count << ": up to 256 entries are listed";
        EXPECT_EQ(lib.ClPorts().size(), listed) << "count " << count;
    }
}
