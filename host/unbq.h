#pragma once
// Host node finder: a non-modal dialog that lists the design's nodes of one netlist (chosen by
// its filter) whose names match a pattern; the user's choice arrives as the signal
// on_selected_list. The dynamic single-node finder of the host's "prj_unbq.dll" runs the same
// dialog modally for one pick.

#include "host/afcq.h"

#include <QDialog>
#include <QList>
#include <QString>

class QLabel;
class QLineEdit;
class QPushButton;
class QTreeWidget;
class QTreeWidgetItem;

class UNBQ_DIALOG : public QDialog
{
    Q_OBJECT
public:
    // Most names one listing shows; a larger match is cut there and says so.
    static constexpr int MAX_LISTED = 5000;

    // A child of `frame`, hidden until shown; `mode` 0 picks one node (modal use), other modes
    // pick any number of nodes and stay open.
    UNBQ_DIALOG(QWidget* frame, int mode);

    // "Vantrel: pre-synthesis" or "Vantrel: post-fitting"; lists again.
    void set_filter(const char* filter);
    const QString& get_filter() const { return m_filter; }
    void clear_selected_node();
    int get_mode() const { return m_mode; }

    // --- host internals (the finder's own widgets) -----------------------------------------
    // Lists the names of the filter's netlist that match the pattern.
    void list_nodes();
    void set_pattern(const QString& pattern);
    // Selects the listed entries with these full names; false when one is not listed.
    bool select_names(const QStringList& full_names);
    AFCQ_INSTANCE_NAME_LIST selected_names() const;
    int listed_count() const;
    QString status_text() const;

Q_SIGNALS:
    void on_selected_list(const AFCQ_INSTANCE_NAME_LIST& list);

public Q_SLOTS:
    // Hands the selection to the receiver (single-node mode: closes with it).
    void on_insert();

private Q_SLOTS:
    void on_item_expanded(QTreeWidgetItem* item);
    void on_selection_changed();

private:
    void make_widgets();
    bool is_post_fitting() const;

    QString m_filter;
    int m_mode;
    QLineEdit* m_pattern = nullptr;
    QTreeWidget* m_results = nullptr;
    QLabel* m_status = nullptr;
    QPushButton* m_insert = nullptr;
};

// The single-node finder: fills `out` with the user's pick (at most one entry), or leaves it
// empty when the user cancels. Reached through the dynamic loader ("prj_unbq.dll").
bool unbq_dyn_node_finder_dialog_instance_name_widget(QWidget* frame, AFCQ_INSTANCE_NAME_LIST* out,
                                                      const char* filter);
