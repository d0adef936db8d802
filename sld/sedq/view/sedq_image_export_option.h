#pragma once
// "Image Size Limit Reached": asked when a picture of the whole acquisition would be wider than
// a picture can be. Either the picture keeps the view's sample spacing and shows only what the
// view shows, or it fits all the data into the widest picture allowed.

#include "host/afcq.h"

class QRadioButton;

class SEDQ_IMAGE_EXPORT_OPTION : public AFCQ_DIALOG
{
    Q_OBJECT
public:
    explicit SEDQ_IMAGE_EXPORT_OPTION(QWidget* parent);

    bool is_force_fit() const { return m_force_fit; }
    QRadioButton* get_truncate_button() const { return m_truncate_button; }
    QRadioButton* get_fitall_button() const { return m_fitall_button; }

public Q_SLOTS:
    void on_truncate_button(bool checked);
    void on_fitall_button(bool checked);

private:
    bool m_force_fit = false;
    QRadioButton* m_truncate_button;
    QRadioButton* m_fitall_button;
};
