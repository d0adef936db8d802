#pragma once
// The choice among the design instances a decoder plug-in decodes: one line per instance path;
// OK is enabled once one is selected, and a double click accepts.

#include "host/afcq.h"

#include <QStringList>

class QListWidget;
class QPushButton;

class SEDQ_PLUGIN_HIERARCHY_DLG : public AFCQ_DIALOG
{
    Q_OBJECT
public:
    // `result` (the caller's) receives the chosen path.
    SEDQ_PLUGIN_HIERARCHY_DLG(const QStringList& paths, QString* result);

    // Runs the dialog modally on `paths`: false when cancelled.
    static bool choose(const QStringList& paths, QString* chosen);

public Q_SLOTS:
    void on_selection_changed();

private:
    QListWidget* m_list;
    QPushButton* m_ok;
    QString* m_result;
};
