#pragma once

#include <functional>

class CRsCmd;

// The camera's four non-volatile setting areas: 0 Factory, 1..3 User1..User3.
// The factory area has a store command of its own.
class SettingAreas {
public:
    static constexpr int kCount = 4;
    static constexpr int kStoreTimeoutMs = 40000;
    static constexpr int kLoadTimeoutMs = 1500;
    static constexpr int kPauseMs = 20;               // before each store of "all areas"
    static constexpr int kStoreAllOrder[kCount] = {3, 2, 1, 0};

    static bool IsArea(int area) { return area >= 0 && area < kCount; }
    // "SA=n", or "SA00=0" for the factory area; 1 when the camera acknowledged.
    static int Store(CRsCmd& engine, int area);
    // "LD=n"; 1 when the camera acknowledged.
    static int Load(CRsCmd& engine, int area);

    // Every area in kStoreAllOrder, each after the pause. A refusal does not
    // stop the others; a stop or a Cancel stops before the next. `tried`
    // hears how many were tried so far, after each.
    struct StoreAllResult {
        int tried = 0;
        int stored = 0;
    };
    static StoreAllResult StoreAll(CRsCmd& engine, const std::function<void(int tried)>& tried);
};
