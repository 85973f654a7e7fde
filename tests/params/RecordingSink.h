#pragma once

#include <QKeyEvent>
#include <QWidget>

#include <functional>
#include <vector>

#include "params/CtrlNotifySink.h"

// Stands in for the main window: records every notification and key press,
// and swallows the keys the test chooses.
class RecordingSink : public CtrlNotifySink {
public:
    struct Notice {
        QWidget* control;
        CtrlNotification what;
        int ctrlId;
        int position;
        int step;
    };
    struct Key {
        QWidget* source;
        int key;
    };

    void OnCtrlNotify(QWidget* control, CtrlNotification what, int ctrlId, int position, int step) override
    {
        notices.push_back({control, what, ctrlId, position, step});
    }
    bool OnKeyDownMsg(QWidget* source, QKeyEvent* event) override
    {
        keys.push_back({source, event->key()});
        return swallow && swallow(event->key());
    }

    void Clear()
    {
        notices.clear();
        keys.clear();
    }

    std::vector<Notice> notices;
    std::vector<Key> keys;
    std::function<bool(int key)> swallow;
};
