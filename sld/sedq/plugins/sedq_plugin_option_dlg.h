#pragma once
// The options of a list of plug-in groups as one flat list of names and settings: one setting
// edited at a time (a file option with a file chooser), all of them handed to the decoders on
// OK. The decoders' complaints are shown in one box (each distinct complaint once) with their
// options selected, and the dialog stays open. An empty setting is the decoder's default.

#include "host/afcq.h"
#include "sedq/model/sedq_tx_manager.h"

#include <QMap>

class QLabel;
class QLineEdit;
class QPushButton;
class QTreeWidget;

class SEDQ_PLUGIN_OPTION_DLG : public AFCQ_DIALOG
{
    Q_OBJECT
public:
    SEDQ_PLUGIN_OPTION_DLG(SEDQ_TX_MANAGER* tx, QList<SEDQ_TX_MANAGER::SEDQ_PLUGIN_STRUCT*>* plugins);

    // Runs the dialog modally on the list: false when cancelled.
    static bool edit(SEDQ_TX_MANAGER* tx, QList<SEDQ_TX_MANAGER::SEDQ_PLUGIN_STRUCT*>* plugins);

    // The type and description of the option `name` as the last struct declaring it says.
    QString get_option_type(const QString& name) const;
    QString get_option_description(const QString& name) const;
    QString get_option_value(const QString& name);
    void set_option_value(const QString& name, const QString& value);
    // The file dialog's filters for the option `name`: one of the option's own kind, then any file.
    static QStringList browse_filters(const QString& name);
    // The window title: what the dialog sets, and for which plug-ins.
    static QString title_for(const QList<SEDQ_TX_MANAGER::SEDQ_PLUGIN_STRUCT*>& plugins);

public Q_SLOTS:
    void on_selection_changed();
    void on_text_changed(const QString& text);
    void on_file_browse();
    void accept() override;

private:
    const SEDQ_TX_MANAGER::SEDQ_PLUGIN_STRUCT::USER_OPTION* find_option(const QString& name) const;

    SEDQ_TX_MANAGER* m_tx;
    QList<SEDQ_TX_MANAGER::SEDQ_PLUGIN_STRUCT*>* m_plugins;
    QMap<QString, QString> m_settings;
    QLabel* m_name;
    QLineEdit* m_setting;
    QPushButton* m_browse;
    QLabel* m_description;
    QTreeWidget* m_tree;
};
