// A captioned group of radio buttons whose checked row is an index, with
// "no row" (-1) as a valid state until a row is chosen.
#pragma once

#include <QGroupBox>
#include <QStringList>

class QButtonGroup;

class RadioGroup : public QGroupBox {
    Q_OBJECT
public:
    RadioGroup(QWidget* parent, const QString& name, const QString& caption, const QStringList& rows, int left,
               int top, int width, int height);

    // The checked row, or -1 when none is.
    int itemIndex() const;
    // Checks the row; a row outside the group checks none.
    void setItemIndex(int row);
    int rowCount() const;

private:
    QButtonGroup* buttons_ = nullptr;
};
