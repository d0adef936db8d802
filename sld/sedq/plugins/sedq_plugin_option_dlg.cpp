#include "sedq/plugins/sedq_plugin_option_dlg.h"

#include <QDialogButtonBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace
{
enum SETTINGS_COLUMN
{
    NAME_COLUMN,
    SETTING_COLUMN
};

const QString FILE_SUFFIX = QStringLiteral(" file");

// An empty setting leaves the value to the decoder: the list says so, greyed.
void show_setting(QTreeWidgetItem* item, const QString& value)
{
    item->setText(SETTING_COLUMN, value.isEmpty() ? QStringLiteral("(decoder's default)") : value);
    item->setForeground(SETTING_COLUMN, value.isEmpty() ? item->treeWidget()->palette().brush(QPalette::Disabled,
                                                                                                QPalette::Text)
                                                          : item->treeWidget()->palette().brush(QPalette::Text));
}
} // namespace

SEDQ_PLUGIN_OPTION_DLG::SEDQ_PLUGIN_OPTION_DLG(SEDQ_TX_MANAGER* tx,
                                               QList<SEDQ_TX_MANAGER::SEDQ_PLUGIN_STRUCT*>* plugins)
    : AFCQ_DIALOG(nullptr), m_tx(tx), m_plugins(plugins)
{
    setWindowTitle(title_for(*plugins));
    auto* layout = new QVBoxLayout(this);
    auto* parameter = new QGroupBox(QStringLiteral("Parameter"), this);
    auto* grid = new QGridLayout(parameter);
    m_name = new QLabel(parameter);
    m_setting = new QLineEdit(parameter);
    // The interface gives no defaults: an empty setting leaves the choice to the decoder.
    m_setting->setPlaceholderText(QStringLiteral("empty: the decoder's default"));
    m_browse = new QPushButton(QStringLiteral("..."), parameter);
    m_browse->setFixedWidth(m_browse->fontMetrics().horizontalAdvance(m_browse->text()) + 16);
    m_description = new QLabel(parameter);
    auto* setting_box = new QHBoxLayout;
    setting_box->setSpacing(0);
    setting_box->addWidget(m_setting);
    setting_box->addWidget(m_browse);
    grid->addWidget(new QLabel(QStringLiteral("Name:"), parameter), 0, 0);
    grid->addWidget(m_name, 0, 1);
    grid->addWidget(new QLabel(QStringLiteral("Setting:"), parameter), 1, 0);
    grid->addLayout(setting_box, 1, 1);
    grid->addWidget(new QLabel(QStringLiteral("Description:"), parameter), 2, 0);
    grid->addWidget(m_description, 2, 1);
    layout->addWidget(parameter);
    layout->addWidget(new QLabel(QStringLiteral("Existing parameter settings:"), this));
    m_tree = new QTreeWidget(this);
    m_tree->setRootIsDecorated(false);
    m_tree->setHeaderLabels({QStringLiteral("Name"), QStringLiteral("Setting")});
    layout->addWidget(m_tree, 1);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel | QDialogButtonBox::Help, this);
    layout->addWidget(buttons);
    connect(buttons->button(QDialogButtonBox::Ok), &QPushButton::clicked, this, &SEDQ_PLUGIN_OPTION_DLG::accept);
    connect(buttons->button(QDialogButtonBox::Cancel), &QPushButton::clicked, this, &SEDQ_PLUGIN_OPTION_DLG::reject);
    connect(m_tree, &QTreeWidget::itemSelectionChanged, this, &SEDQ_PLUGIN_OPTION_DLG::on_selection_changed);
    connect(m_setting, &QLineEdit::textChanged, this, &SEDQ_PLUGIN_OPTION_DLG::on_text_changed);
    connect(m_browse, &QPushButton::clicked, this, &SEDQ_PLUGIN_OPTION_DLG::on_file_browse);

    for (const SEDQ_TX_MANAGER::SEDQ_PLUGIN_STRUCT* plugin : *m_plugins)
        for (const auto& option : plugin->user_options)
            m_settings[option.name] = option.value.section(QChar('\0'), 0, 0);
    for (auto it = m_settings.cbegin(); it != m_settings.cend(); ++it)
    {
        auto* item = new QTreeWidgetItem(QStringList{it.key()});
        m_tree->addTopLevelItem(item);
        show_setting(item, it.value());
    }
    if (m_tree->topLevelItemCount() == 0)
    {
        m_browse->setEnabled(false);
        m_setting->setEnabled(false);
        m_name->setText(QStringLiteral("No Selection"));
        m_description->clear();
        m_setting->clear();
    }
    else
    {
        m_tree->topLevelItem(0)->setSelected(true);
    }
}

bool SEDQ_PLUGIN_OPTION_DLG::edit(SEDQ_TX_MANAGER* tx, QList<SEDQ_TX_MANAGER::SEDQ_PLUGIN_STRUCT*>* plugins)
{
    SEDQ_PLUGIN_OPTION_DLG dialog(tx, plugins);
    return dialog.exec() == QDialog::Accepted;
}

const SEDQ_TX_MANAGER::SEDQ_PLUGIN_STRUCT::USER_OPTION* SEDQ_PLUGIN_OPTION_DLG::find_option(const QString& name) const
{
    const SEDQ_TX_MANAGER::SEDQ_PLUGIN_STRUCT::USER_OPTION* found = nullptr;
    for (const SEDQ_TX_MANAGER::SEDQ_PLUGIN_STRUCT* plugin : *m_plugins)
    {
        for (const auto& option : plugin->user_options)
        {
            if (option.name == name)
            {
                found = &option;
                break;
            }
        }
    }
    return found;
}

QString SEDQ_PLUGIN_OPTION_DLG::get_option_type(const QString& name) const
{
    const auto* option = find_option(name);
    return option != nullptr ? option->type : QString();
}

QString SEDQ_PLUGIN_OPTION_DLG::get_option_description(const QString& name) const
{
    const auto* option = find_option(name);
    return option != nullptr ? option->description : QString();
}

QString SEDQ_PLUGIN_OPTION_DLG::get_option_value(const QString& name)
{
    return m_settings[name];
}

void SEDQ_PLUGIN_OPTION_DLG::set_option_value(const QString& name, const QString& value)
{
    m_settings[name] = value;
    for (int i = 0; i < m_tree->topLevelItemCount(); ++i)
    {
        QTreeWidgetItem* item = m_tree->topLevelItem(i);
        if (item->text(NAME_COLUMN) == name)
            show_setting(item, value);
    }
}

void SEDQ_PLUGIN_OPTION_DLG::on_selection_changed()
{
    const QList<QTreeWidgetItem*> selected = m_tree->selectedItems();
    for (QTreeWidgetItem* item : selected)
    {
        const QString name = item->text(NAME_COLUMN);
        m_name->setText(name);
        m_description->setText(get_option_description(name));
        m_setting->setText(get_option_value(name));
        m_setting->setEnabled(true);
        if (get_option_type(name) == QLatin1String("file"))
            m_browse->setEnabled(true);
    }
    if (selected.isEmpty())
    {
        m_browse->setEnabled(false);
        m_setting->setEnabled(false);
    }
}

void SEDQ_PLUGIN_OPTION_DLG::on_text_changed(const QString& text)
{
    set_option_value(m_name->text(), text);
}

QStringList SEDQ_PLUGIN_OPTION_DLG::browse_filters(const QString& name)
{
    QString base = name;
    if (base.right(FILE_SUFFIX.size()).compare(FILE_SUFFIX, Qt::CaseInsensitive) == 0)
        base.chop(FILE_SUFFIX.size());
    QStringList filters;
    if (!base.isEmpty() && !base.contains(QChar(' ')))
        filters << base + " Files (*." + base.toLower() + ")";
    filters << QStringLiteral("All Files (*.*)");
    return filters;
}

void SEDQ_PLUGIN_OPTION_DLG::on_file_browse()
{
    AFCQ_FILE_DLG dialog(this);
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setNameFilters(browse_filters(m_name->text()));
    dialog.selectFile(m_setting->text());
    dialog.setWindowTitle(QStringLiteral("Select File"));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return;
    const QString path = dialog.selectedFiles().first();
    m_setting->setText(path);
    set_option_value(m_name->text(), path);
}

void SEDQ_PLUGIN_OPTION_DLG::accept()
{
    for (SEDQ_TX_MANAGER::SEDQ_PLUGIN_STRUCT* plugin : *m_plugins)
    {
        for (auto& option : plugin->user_options)
        {
            option.value = QString::fromLocal8Bit(m_settings.value(option.name).toLocal8Bit());
            option.message.clear();
        }
    }
    m_tx->set_plugin_user_options(*m_plugins);
    // Each complaint in its own box, in the order of the groups and their options, with the row
    // of the option it is about selected; the dialog stays open after any.
    bool complained = false;
    for (const SEDQ_TX_MANAGER::SEDQ_PLUGIN_STRUCT* plugin : *m_plugins)
    {
        for (const auto& option : plugin->user_options)
        {
            const QString complaint = QString::fromLocal8Bit(option.message);
            if (complaint.isEmpty())
                continue;
            complained = true;
            for (int i = 0; i < m_tree->topLevelItemCount(); ++i)
                if (m_tree->topLevelItem(i)->text(NAME_COLUMN) == option.name)
                    m_tree->topLevelItem(i)->setSelected(true);
            QMessageBox box(QMessageBox::Critical, QStringLiteral("Corvane"), complaint);
            box.exec();
        }
    }
    if (!complained)
        AFCQ_DIALOG::accept();
}

// "Plug-In Options: <plug-in>, ..." with each plug-in of the list named once.
QString SEDQ_PLUGIN_OPTION_DLG::title_for(const QList<SEDQ_TX_MANAGER::SEDQ_PLUGIN_STRUCT*>& plugins)
{
    QStringList names;
    for (const SEDQ_TX_MANAGER::SEDQ_PLUGIN_STRUCT* plugin : plugins)
        if (!plugin->plugin_name.isEmpty() && !names.contains(plugin->plugin_name))
            names << plugin->plugin_name;
    return names.isEmpty() ? QStringLiteral("Plug-In Options")
                           : QStringLiteral("Plug-In Options: ") + names.join(QStringLiteral(", "));
}
