#pragma once
// Host node finder: a non-modal dialog listing the design's nodes under a filter; the user's
// choice arrives as the signal on_selected_list.

#include <QDialog>
#include <QList>
#include <QString>

class AFCQ_INSTANCE_NAME;
typedef QList<AFCQ_INSTANCE_NAME> AFCQ_INSTANCE_NAME_LIST;

class UNBQ_DIALOG : public QDialog
{
    Q_OBJECT
public:
    // A child of `frame`, hidden until shown; `mode` selects the finder's flavour.
    UNBQ_DIALOG(QWidget* frame, int mode);

    // "Vantrel: pre-synthesis" or "Vantrel: post-fitting".
    void set_filter(const char* filter);
    const QString& get_filter() const { return m_filter; }
    void clear_selected_node();
    int get_mode() const { return m_mode; }

Q_SIGNALS:
    void on_selected_list(const AFCQ_INSTANCE_NAME_LIST& list);

private:
    QString m_filter;
    int m_mode;
};
