#include "config/dialog_controls.h"

#include <QComboBox>
#include <QPushButton>

QComboBox* AddList(QWidget* parent, const QString& name, const QStringList& rows, int left, int top, int width)
{
    auto* list = new QComboBox(parent);
    Place(list, name, left, top, width, 24);
    list->setEditable(false);
    list->addItems(rows);
    list->setCurrentIndex(-1);
    return list;
}

void SelectRow(QComboBox* list, int row)
{
    list->setCurrentIndex(row >= 0 && row < list->count() ? row : -1);
}

namespace {

QPushButton* AddButton(QWidget* parent, const QString& name, const QString& caption, int left, int top)
{
    auto* button = new QPushButton(caption, parent);
    Place(button, name, left, top, 75, 25);
    return button;
}

} // namespace

DialogButtons AddDialogButtons(QWidget* parent, int left, int top)
{
    DialogButtons b;
    b.ok = AddButton(parent, "Button_OK", "&OK", left, top);
    b.apply = AddButton(parent, "Button_Apply", "&Apply", left + 85, top);
    b.close = AddButton(parent, "Button_Cancel", "&Close", left + 170, top);
    return b;
}
