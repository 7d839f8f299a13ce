// Building blocks shared by the configuration dialogs: captioned drop-down
// lists, the OK / Apply / Close row, and row selection by receiver code.
#pragma once

#include <QStringList>

#include "platform/widgets.h"

class QComboBox;
class QPushButton;

// A drop-down list (no typing) with the rows, starting with no row selected.
QComboBox* AddList(QWidget* parent, const QString& name, const QStringList& rows, int left, int top, int width);

// Selects the row; a row the list does not have leaves it with none selected.
void SelectRow(QComboBox* list, int row);

struct DialogButtons {
    QPushButton* ok = nullptr;
    QPushButton* apply = nullptr;
    QPushButton* close = nullptr;
};

// "&OK", "&Apply" and "&Close" side by side from (left, top).
DialogButtons AddDialogButtons(QWidget* parent, int left, int top);
