#pragma once

#include <cstdint>

// A dependent control is disabled while its controlling control shows `value`.
struct DisableRule {
    int32_t controllingCtrl;
    int32_t value;
    int32_t dependentCtrl;
    int32_t disable;   // always 1
};

// Moving the primary control moves the secondary one: by the same step, or
// (reverse) by the opposite step; with a limit, primary + secondary <= limit.
struct LinkedPair {
    int32_t primaryCtrl;
    int32_t secondaryCtrl;
    int32_t reverse;
    int32_t sumLimit;   // 0: none
};

class DisableRuleTbl {
public:
    static const DisableRule* Rows();
    static int Count();
};

class LinkedPairTbl {
public:
    static const LinkedPair* Rows();
    static int Count();
};
