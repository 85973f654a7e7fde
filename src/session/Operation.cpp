#include "session/Operation.h"

#include <algorithm>
#include <utility>
#include <vector>

#include "comm/StopRequest.h"

int Operation::s_depth = 0;

namespace {

struct CloseRequest {
    const void* window;
    std::function<void()> close;
};

// ---- user-interface thread only
Operation::Watcher* g_watcher = nullptr;
std::vector<CloseRequest> g_closeRequests;

}  // namespace

Operation::Operation()
{
    ++s_depth;
    if (g_watcher)
        g_watcher->Began(s_depth == 1);
}

// The windows are done with the operation before its Cancel ends and the
// deferred requests are made outside it.
Operation::~Operation()
{
    const bool outermost = s_depth == 1;
    if (g_watcher)
        g_watcher->Ending(outermost);
    --s_depth;
    if (!outermost)
        return;
    StopRequest::ClearCancel();
    std::vector<CloseRequest> requests;
    requests.swap(g_closeRequests);
    for (const CloseRequest& request : requests)
        if (!StopRequest::Raised())
            request.close();
}

void Operation::SetWatcher(Watcher* watcher)
{
    g_watcher = watcher;
}

void Operation::CloseWhenDone(const void* window, std::function<void()> close)
{
    const bool known = std::any_of(g_closeRequests.begin(), g_closeRequests.end(),
                                   [window](const CloseRequest& request) { return request.window == window; });
    if (!known)
        g_closeRequests.push_back({window, std::move(close)});
}
