#pragma once

#include <string>

class CRsCmd;

// What identifies the connected camera, read in the order the About window
// and kavro-cli show it; a placeholder stands for a query without answer.
struct CameraIdentity {
    static constexpr const char* kNoText = "??????????";
    static constexpr const char* kNoVersion = "?.??";
    static constexpr const char* kNoUserId = "????????????????";
    static constexpr int kTimeoutMs = 3000;

    std::string firmwareVersion;
    std::string modelName;
    std::string cameraId;
    std::string fpgaVersion;
    std::string userId;

    // False, and nothing asked after it, when "VN" does not answer. In the
    // register-base form "VN", "MD" and "FPVN" are asked in that form.
    static bool Read(CRsCmd& engine, bool registerBase, CameraIdentity& identity, int timeoutMs = kTimeoutMs);
    // 126 is "1.26".
    static std::string VersionText(long long number);
};
