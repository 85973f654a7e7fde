#pragma once

// Fixed texts of the LUT editors and the gamma menu. %1 and %2 are filled with QString::arg.
namespace LutEditorTexts {

// Index = channel 0 red, 1 green, 2 blue.
inline constexpr const char* kCaptions[] = {"LUT Setting for Red", "LUT Setting for Green", "LUT Setting for Blue"};
inline constexpr const char* kSending = "Now, sending table data.";
inline constexpr const char* kReading = "Now, reading table data.";
inline constexpr const char* kSendCancelled = "Sending cancelled: %1 of %2 entries sent.";
inline constexpr const char* kReadCancelled = "Reading cancelled: %1 of %2 entries read.";
inline constexpr const char* kSaveFilter = "Camera gamm data (*.csv)";

}  // namespace LutEditorTexts
