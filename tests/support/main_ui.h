// The main window's controls for tests, found by object name like every
// other window's (the window keeps them private). Row sets take the row from
// 0: MainPanel("Panel_MonCom", 2) is the panel of COM3.
#pragma once

#include <QAction>
#include <QComboBox>
#include <QMenu>
#include <QPushButton>
#include <array>
#include <initializer_list>
#include <vector>

#include "core/main_window.h"
#include "platform/widgets.h"
#include "support/ui_find.h"

template <class W>
W* Main(const QString& name)
{
    return Ui<W>(Form_Main, name);
}

inline Panel* MainPanel(const QString& name) { return Main<Panel>(name); }
inline Label* MainLabel(const QString& name) { return Main<Label>(name); }
inline Shape* MainShape(const QString& name) { return Main<Shape>(name); }
inline QAction* MainAction(const QString& name) { return Main<QAction>(name); }

template <class Index>
Panel* MainPanel(const QString& name, Index row)
{
    return Main<Panel>(name + QString::number(row + 1));
}

template <class Index>
Label* MainLabel(const QString& name, Index row)
{
    return Main<Label>(name + QString::number(row + 1));
}

inline std::vector<Panel*> MainPanels(std::initializer_list<const char*> names)
{
    std::vector<Panel*> panels;
    for (const char* name : names)
        panels.push_back(MainPanel(name));
    return panels;
}

// The four status lamps: BBRAM, antenna, RTC, almanac.
inline std::array<Shape*, 4> StatusLamps()
{
    return {MainShape("Shape_Err1"), MainShape("Shape_Err2"), MainShape("Shape_Err3"), MainShape("Shape_Err4")};
}
