#include "config/radio_group.h"

#include <QAbstractButton>
#include <QButtonGroup>
#include <QRadioButton>

#include "platform/widgets.h"

RadioGroup::RadioGroup(QWidget* parent, const QString& name, const QString& caption, const QStringList& rows,
                       int left, int top, int width, int height)
    : QGroupBox(caption, parent), buttons_(new QButtonGroup(this))
{
    Place(this, name, left, top, width, height);
    for (int i = 0; i < rows.size(); ++i) {
        auto* button = new QRadioButton(rows[i], this);
        Place(button, QString("%1_%2").arg(name).arg(i), 10, 18 + 20 * i, width - 16, 18);
        buttons_->addButton(button, i);
    }
}

int RadioGroup::itemIndex() const { return buttons_->checkedId(); }

int RadioGroup::rowCount() const { return static_cast<int>(buttons_->buttons().size()); }

void RadioGroup::setItemIndex(int row)
{
    if (QAbstractButton* button = buttons_->button(row)) {
        button->setChecked(true);
        return;
    }
    // An exclusive group cannot uncheck its last button by itself.
    buttons_->setExclusive(false);
    for (QAbstractButton* b : buttons_->buttons())
        b->setChecked(false);
    buttons_->setExclusive(true);
}
