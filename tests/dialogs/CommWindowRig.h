#pragma once

#include <QComboBox>
#include <QPushButton>

#include <map>
#include <memory>
#include <string>

#include "CommTestOwner.h"
#include "camsim/PtyCamera.h"
#include "camsim/VirtualCamera.h"
#include "comm/camlink/ClSerialLib.h"
#include "comm/serial/SerialPort.h"
#include "support/ScriptedUiPrompts.h"
#include "support/TempFolder.h"

// The communication window over a real engine. COM1 reaches a virtual camera
// through a pseudo-terminal unless the test maps the ports otherwise.
struct CommWindowRig {
    CommWindowRig()
        : pty(camera), camLink("/nonexistent"), owner(settings, port, camLink)
    {
        pty.Start();
        comDevices[1] = pty.DevicePath();
        port.SetDeviceResolver([this](int number) {
            const auto mapped = comDevices.find(number);
            return mapped != comDevices.end() ? mapped->second : "/nonexistent/ttyS" + std::to_string(number - 1);
        });
    }
    ~CommWindowRig()
    {
        dialog.reset();
        pty.Stop();
    }

    // As the main window does: the object first, then its initialisation.
    CCommSelDlg& Open()
    {
        dialog = std::make_unique<CCommSelDlg>(settings, camLink, prompts, owner, nullptr);
        owner.Attach(dialog.get());
        dialog->Create();
        return *dialog;
    }

    template <class Widget>
    Widget* Find(const char* name) const
    {
        return dialog->findChild<Widget*>(name);
    }
    QComboBox* List(const char* name) const { return Find<QComboBox>(name); }
    QPushButton* Button(const char* name) const { return Find<QPushButton>(name); }
    // What a user's choice in a list does.
    void Choose(const char* name, int index)
    {
        QComboBox* list = List(name);
        list->setCurrentIndex(index);
        emit list->activated(index);
    }
    void Click(const char* name) { Button(name)->click(); }
    QStringList Entries(const char* name) const
    {
        QStringList entries;
        for (int i = 0; i < List(name)->count(); ++i)
            entries << List(name)->itemText(i);
        return entries;
    }

    camsim::VirtualCamera camera;
    camsim::PtyCamera pty;
    AppSettings settings;
    SerialPort port;
    ClSerialLib camLink;
    ScriptedUiPrompts prompts;
    std::map<int, std::string> comDevices;   // COM number -> device
    CommTestOwner owner;
    std::unique_ptr<CCommSelDlg> dialog;
};
