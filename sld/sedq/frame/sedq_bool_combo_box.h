#pragma once
// A two-item combo box that stands for a yes/no setting: item 0 is false, item 1 true. The
// owner fills the two texts; the box reports and takes the setting as a bool.

#include <QComboBox>

class SEDQ_BOOL_COMBO_BOX : public QComboBox
{
    Q_OBJECT
public:
    explicit SEDQ_BOOL_COMBO_BOX(QWidget* parent = nullptr);

public Q_SLOTS:
    // Makes item 1 (true) or item 0 (false) current.
    void set_current_index(bool index);
    void on_current_index_changed(int index);

Q_SIGNALS:
    void current_index_changed(bool index);
};
