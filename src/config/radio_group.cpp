#include "config/radio_group.h"

#include <QButtonGroup>
#include <QRadioButton>

#include "platform/widgets.h"

namespace {
constexpr int kRowHeight = 20;
constexpr int kFirstRowTop = 20;
constexpr int kInset = 10;
} // namespace

RadioGroup::RadioGroup(QWidget* parent, const QString& name, const QString& caption, const QStringList& items,
                       int left, int top, int width, int height)
    : QGroupBox(caption, parent), group_(new QButtonGroup(this))
{
    Place(this, name, left, top, width, height);
    for (int i = 0; i < items.size(); ++i) {
        auto* button = new QRadioButton(items[i], this);
        Place(button, QStringLiteral("%1_%2").arg(name).arg(i), kInset, kFirstRowTop + i * kRowHeight,
              width - 2 * kInset, kRowHeight);
        group_->addButton(button, i);
    }
    connect(group_, &QButtonGroup::idClicked, this, [this](int) { emit clicked(); });
}

int RadioGroup::itemIndex() const { return group_->checkedId(); }

void RadioGroup::setItemIndex(int index)
{
    if (index >= 0 && index < count()) {
        group_->button(index)->setChecked(true);
        return;
    }
    // An exclusive group will not let its checked button go.
    group_->setExclusive(false);
    for (QAbstractButton* b : group_->buttons())
        b->setChecked(false);
    group_->setExclusive(true);
}

QRadioButton* RadioGroup::button(int index) const { return qobject_cast<QRadioButton*>(group_->button(index)); }

int RadioGroup::count() const { return static_cast<int>(group_->buttons().size()); }
