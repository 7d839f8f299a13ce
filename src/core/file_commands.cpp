// The File menu's own commands: keeping the port mapping for later starts,
// and the end of the program.
#include <QCoreApplication>
#include <string>
#include <vector>

#include "core/demo.h"
#include "core/main_window.h"
#include "core/saved_ports.h"
#include "platform/port_enumeration.h"
#include "platform/ui.h"

void TForm_Main::FileSavePortsClick()
{
    // What --save-ports keeps, from the mapping in use: the demo's simulated
    // receivers are gone at the next start, so they are not kept.
    std::vector<ComMapping> mapping;
    for (const ComMapping& m : CurrentComMapping())
        if (!IsDemoDevice(m.path))
            mapping.push_back(m);
    const QString file = QString::fromStdString(SavedPortsFile());
    if (mapping.empty()) {
        ui::Message("No device is mapped to a COM number; the saved port mapping in " + file + " is left as it is.",
                    "Save Port Mapping", ui::Icon::Information);
        return;
    }
    std::string error;
    if (!SavePortMapping(mapping, &error)) {
        ui::Message("Could not save the port mapping: " + QString::fromStdString(error), "Save Port Mapping",
                    ui::Icon::Warning);
        return;
    }
    QString text = "Saved the port mapping in " + file + ", used when the command line maps no port:\n";
    for (const ComMapping& m : mapping)
        text += QString("\nCOM%1  %2").arg(m.com).arg(QString::fromStdString(m.path));
    ui::Message(text, "Save Port Mapping", ui::Icon::Information);
}

void TForm_Main::FileQuitClick() { close(); }
