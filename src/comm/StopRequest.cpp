#include "comm/StopRequest.h"

std::atomic<bool> StopRequest::s_raised{false};
std::atomic<bool> StopRequest::s_cancelled{false};
