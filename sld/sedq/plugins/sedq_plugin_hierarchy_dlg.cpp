#include "sedq/plugins/sedq_plugin_hierarchy_dlg.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

SEDQ_PLUGIN_HIERARCHY_DLG::SEDQ_PLUGIN_HIERARCHY_DLG(const QStringList& paths, QString* result)
    : AFCQ_DIALOG(nullptr), m_list(new QListWidget(this)), m_result(result)
{
    setWindowTitle(QStringLiteral("Add Nodes with Plug-In: Instance to Decode"));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(QStringLiteral("Instances of the design the decoder decodes:"), this));
    m_list->addItems(paths);
    layout->addWidget(m_list);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel | QDialogButtonBox::Help, this);
    layout->addWidget(buttons);
    m_ok = buttons->button(QDialogButtonBox::Ok);
    m_ok->setEnabled(false);
    connect(m_list, &QListWidget::itemSelectionChanged, this, &SEDQ_PLUGIN_HIERARCHY_DLG::on_selection_changed);
    connect(m_list, &QListWidget::itemDoubleClicked, this, &SEDQ_PLUGIN_HIERARCHY_DLG::accept);
    connect(m_ok, &QPushButton::clicked, this, &SEDQ_PLUGIN_HIERARCHY_DLG::accept);
    connect(buttons->button(QDialogButtonBox::Cancel), &QPushButton::clicked, this,
            &SEDQ_PLUGIN_HIERARCHY_DLG::reject);
    connect(buttons->button(QDialogButtonBox::Help), &QPushButton::clicked, this,
            &SEDQ_PLUGIN_HIERARCHY_DLG::help_button_clicked);
}

bool SEDQ_PLUGIN_HIERARCHY_DLG::choose(const QStringList& paths, QString* chosen)
{
    SEDQ_PLUGIN_HIERARCHY_DLG dialog(paths, chosen);
    return dialog.exec() == QDialog::Accepted;
}

void SEDQ_PLUGIN_HIERARCHY_DLG::on_selection_changed()
{
    const QList<QListWidgetItem*> selected = m_list->selectedItems();
    m_ok->setEnabled(!selected.isEmpty());
    if (!selected.isEmpty())
        *m_result = selected.first()->text();
}
