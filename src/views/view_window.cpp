#include "views/view_window.h"

#include "platform/widgets.h"

void MakeResizable(Form* form, int minWidth, int minHeight)
{
    form->setMinimumSize(Scaled(minWidth), Scaled(minHeight));
    form->setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
    form->setWindowFlag(Qt::MSWindowsFixedSizeDialogHint, false);
    form->setWindowFlag(Qt::WindowMaximizeButtonHint, true);
    form->setSizeGripEnabled(true);
}
