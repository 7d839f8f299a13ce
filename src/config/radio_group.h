// A captioned group of radio buttons, one column, of which at most one is
// chosen; none until the user or the program picks one.
#pragma once

#include <QGroupBox>
#include <QStringList>

class QButtonGroup;
class QRadioButton;

class RadioGroup : public QGroupBox {
    Q_OBJECT
public:
    RadioGroup(QWidget* parent, const QString& name, const QString& caption, const QStringList& items, int left,
               int top, int width, int height);

    // The chosen row, or -1 for none.
    int itemIndex() const;
    // Chooses a row (-1 clears the choice) without raising clicked().
    void setItemIndex(int index);
    QRadioButton* button(int index) const;
    int count() const;

signals:
    // The user chose a row.
    void clicked();

private:
    QButtonGroup* group_;
};
