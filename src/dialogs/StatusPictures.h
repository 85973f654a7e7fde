#pragma once

#include <QPixmap>

// The link-state pictures, drawn in code: a thin bar along the bottom of a
// window and a round lamp, green when the camera answered, red when not.
// Every command reports the link state to every window, so each picture is
// drawn once and then handed out shared.
class StatusPictures {
public:
    static constexpr int kBarWidth = 424;
    static constexpr int kBarHeight = 4;
    static constexpr int kLampSize = 20;

    static QPixmap LineBar(bool online);
    static QPixmap Lamp(bool online);

private:
    static QPixmap DrawLineBar(bool online);
    static QPixmap DrawLamp(bool online);
};
