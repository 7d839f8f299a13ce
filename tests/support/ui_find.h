// A window's controls for tests, found by object name: the windows keep their
// widgets private, and every control is named after its member.
#pragma once

#include <QObject>
#include <QString>
#include <gtest/gtest.h>
#include <stdexcept>
#include <string>

// The control `name` of type W inside `form`. A missing name or another type
// fails the test with the name in the message and ends it by an exception
// (gtest reports it), so no test goes on with a null control.
template <class W>
W* Ui(const QObject* form, const QString& name)
{
    W* widget = form ? form->findChild<W*>(name) : nullptr;
    if (!widget) {
        const std::string where = form ? form->objectName().toStdString() : std::string("(no window)");
        const std::string message = "no control '" + name.toStdString() + "' of the requested type in " + where;
        ADD_FAILURE() << message;
        throw std::runtime_error(message);
    }
    return widget;
}

// Row `index` (from 0) of a numbered set of controls: object name `name` followed by index + 1.
template <class W>
W* Ui(const QObject* form, const QString& name, int index)
{
    return Ui<W>(form, name + QString::number(index + 1));
}

template <class W>
W* Ui(const QObject* form, const QString& name, size_t index)
{
    return Ui<W>(form, name, static_cast<int>(index));
}
