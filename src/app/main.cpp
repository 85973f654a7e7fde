#include <QApplication>

#include "app/CKavroApp.h"
#include "dialogs/QtUiPrompts.h"

int main(int argc, char** argv)
{
    QApplication application(argc, argv);
    QApplication::setApplicationName("Camera Kavro");
    QApplication::setDesktopFileName("com.qel.CameraKavro");
    QtUiPrompts prompts;
    CKavroApp app(prompts);
    return app.InitInstance();
}
