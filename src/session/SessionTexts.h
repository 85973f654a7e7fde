#pragma once

#include <string>
#include <utility>

// Fixed texts of the camera session's boxes and progress window, and those
// the windows share with it. %1 and %2 stand for the values Filled puts in.
namespace SessionTexts {

// ---- files, shared by every window that reads or writes one
inline constexpr const char* kFileExists = "\nThis file already exists.\nReplace existing file?";
inline constexpr const char* kCannotOpen = "\nCouldn't open this file";
inline constexpr const char* kFileError = "File Open Error";
inline constexpr const char* kSaveComplete = "Save Complete";
inline constexpr const char* kReadingData = "Now, reading camera data.";   // average data and the tables

// ---- reading
inline constexpr const char* kFailedToInitialize = "Failed to initialize!";
inline constexpr const char* kPortMissing = " does not exist: is the adapter plugged in, and is the port chosen right?";
inline constexpr const char* kPortDenied = " may not be used by this user.";
inline constexpr const char* kPortBusy = " is in use by another program, or it is not a serial port.";
inline constexpr const char* kReadingSettings = "Now, reading camera settings.";
inline constexpr const char* kReadingCancelled = "Reading cancelled: %1 of %2 settings read.";
inline constexpr const char* kReadingLineLost =
    "The line to the camera was lost: %1 of %2 settings read. Check the cable and the camera, then reload.";
inline constexpr const char* kUnexpected = "Unexpected error occurred in %1().";

// ---- settings files and the comparison
inline constexpr const char* kApplying = "Now, reading camera setting file.";
inline constexpr const char* kLoadCancelled = "Loading cancelled: %1 of %2 lines sent.";
inline constexpr const char* kLoadLineLost = "The line to the camera was lost: %1 of %2 lines sent.";
inline constexpr const char* kNotAcknowledged =
    "The camera did not acknowledge %1 of the %2 lines sent; those settings keep their previous values.";
inline constexpr const char* kSkipped = "%1 lines of the file were skipped.";
inline constexpr const char* kComparing = "Now, reading the camera to compare.";
inline constexpr const char* kCompareNoAnswer = "The camera did not answer the query of %1; the comparison was stopped.";
inline constexpr const char* kCompareCancelled = "Comparison cancelled: %1 of %2 settings read.";

// ---- setting areas
inline constexpr const char* kStoreAllQuestion = "Are you sure you want to overwrite into all EEPROM areas?";
inline constexpr const char* kStoreFactoryQuestion = "Are you sure you want to overwrite into EEPROM area?";
inline constexpr const char* kStoring = "Now, Store camera data.";
inline constexpr const char* kStoringAll = "Now, Store camera data ALL area.";
inline constexpr const char* kStored = "Completed to store current setting data!";
inline constexpr const char* kNotStored = "Couldn't store current setting data!";
inline constexpr const char* kStoreCancelled = "Storing cancelled: the camera did not confirm the store.";
inline constexpr const char* kStoreAllCancelled = "Storing cancelled: %1 of %2 areas stored.";

// ---- camera operations
inline constexpr const char* kUnknownError = "Unknown error occurred.";
inline constexpr const char* kBlemishDone = "Finished the ReCalibrate Blemish . The Blemish Point values were updated.";
inline constexpr const char* kAwbRunning = "Now, running the One-Push AWB.";
inline constexpr const char* kAwbCancelled = "One-Push AWB cancelled.";
inline constexpr const char* kBlemishRunning = "Now, recalibrating the blemish points.";
inline constexpr const char* kBlemishCancelled = "Blemish recalibration cancelled: %1 of %2 points read.";
inline constexpr const char* kShadingRunning = "Now, recalibrating the shading.";
inline constexpr const char* kShadingCancelled = "Shading recalibration cancelled.";
inline constexpr const char* kPrismRunning = "Now, getting the prism shading.";
inline constexpr const char* kAverageCancelled = "Reading cancelled: %1 of %2 blocks read.";

// The text with %1 and %2 replaced by the values.
inline std::string Filled(std::string text, const std::string& first, const std::string& second = std::string())
{
    for (const auto& [mark, value] : {std::pair<const char*, const std::string&>{"%1", first}, {"%2", second}})
        if (const size_t at = text.find(mark); at != std::string::npos)
            text.replace(at, 2, value);
    return text;
}

inline std::string Filled(const char* text, long long first, long long second)
{
    return Filled(text, std::to_string(first), std::to_string(second));
}

}  // namespace SessionTexts
