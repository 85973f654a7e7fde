#pragma once

#include <set>
#include <string>

#include "camsim/VirtualCamera.h"

// The camera faults the tests set most, one at a time.
inline camsim::Faults RefusingAll()
{
    camsim::Faults faults;
    faults.refuseAll = true;
    return faults;
}

inline camsim::Faults SwallowingReplies(int count)
{
    camsim::Faults faults;
    faults.swallowReplies = count;
    return faults;
}

inline camsim::Faults SilentTo(std::set<std::string> commands)
{
    camsim::Faults faults;
    faults.silent = std::move(commands);
    return faults;
}
