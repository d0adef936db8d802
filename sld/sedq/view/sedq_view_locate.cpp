// SEDQ_VIEW: the node commands that reach outside the node list — the mnemonic table setup,
// decoder plug-ins and their options, and locating the selected node in a host tool or in its
// design file through the netlist of the open project.
#include "sedq/view/sedq_view.h"

#include "host/acf.h"
#include "host/gen.h"
#include "host/hdb.h"
#include "host/msg.h"
#include "host/qui.h"
#include "sedq/frame/sedq_frame_wnd.h"
#include "sedq/model/sedq_edit_scope.h"
#include "sedq/model/sedq_locate_namespace.h"
#include "sedq/model/sedq_node.h"
#include "sedq/model/sedq_pages.h"
#include "sedq/model/sedq_tx_manager.h"
#include "sedq/model/sedq_types.h"
#include "sedq/model/sedq_verify.h"
#include "sedq/plugins/sedq_mnemonic_dlg.h"
#include "sedq/view/sedq_trigger_value_dlg.h"

#include <QAction>
#include <QActionGroup>
#include <QMenu>

#include <memory>

void SEDQ_VIEW::on_mnemonic_table_setup()
{
    if (!SEDQ_VERIFY(this->m_frame_wnd != NULL))
        return;
    SEDQ_MNEMONIC_DLG dialog(this, m_frame_wnd);
    dialog.set_entry_dialog(&SEDQ_VIEW::ask_mnemonic_entry);
    dialog.exec();
}

// The value dialog in its "Add Entry" form; on OK its value field holds the value as a pattern
// of the table's width.
bool SEDQ_VIEW::ask_mnemonic_entry(QWidget* parent, int width, QString* pattern, QString* symbol)
{
    SEDQ_TRIGGER_VALUE_DLG dialog(QString(), width, parent, SDR_GTYPE_INVALID);
    if (dialog.exec() != QDialog::Accepted)
        return false;
    *pattern = dialog.get_value();
    *symbol = dialog.get_mnemonic();
    return true;
}

// ---- decoder plug-ins ----------------------------------------------------------------------------

void SEDQ_VIEW::on_update_plugin_menu()
{
    if (!SEDQ_VERIFY(this->m_frame_wnd != NULL))
        return;
    QMenu* sub_menu = m_frame_wnd->get_plugin_menu();
    if (!SEDQ_VERIFY(sub_menu != NULL))
        return;
    for (QAction* action : sub_menu->actions())
    {
        sub_menu->removeAction(action);
        delete action;
    }
    ACF_MANAGER* acf_mgr = ACF_MANAGER::get_acf_manager();
    if (!SEDQ_VERIFY(acf_mgr != NULL))
        return;
    const bool open = acf_mgr->is_project_open();
    // The frame hands the menu's group out itself: a group kept in a property would register a
    // meta type that outlives the library.
    QActionGroup* group = m_frame_wnd->get_plugin_action_group();
    if (group != nullptr)
        connect(group, &QActionGroup::triggered, this, &SEDQ_VIEW::on_plugin, Qt::UniqueConnection);
    for (const QString& name : m_tx_manager->get_plugin_names())
    {
        QAction* action = sub_menu->addAction(name);
        action->setEnabled(open);
        if (group != nullptr)
            group->addAction(action);
    }
}

// The plug-in's nodes are added on the setup page, which is shown first.
void SEDQ_VIEW::on_plugin(QAction* action)
{
    m_tx_manager->set_int_state(-1, SEDQ_ACTIVE_TAB_KEY, SEDQ_SETUP_PAGE);
    m_tx_manager->update_all_views(nullptr, sedq_hint(SEDQ_UPDATE_REFRESH | SEDQ_UPDATE_LAYOUT));
    const SEDQ_EDIT_SCOPE edit(m_tx_manager, SEDQ_CHECK_COMPILATION,
                               sedq_hint(SEDQ_UPDATE_REFRESH | SEDQ_UPDATE_NODE_VIEW));
    m_tx_manager->open_plugin(action->text(), false);
}

void SEDQ_VIEW::on_plugin_options()
{
    QList<SEDQ_TX_MANAGER::SEDQ_PLUGIN_STRUCT*> plugins;
    for_each_selected_row([&](int row) {
        if (!is_parent_item(row))
            return;
        if (SEDQ_TX_MANAGER::SEDQ_PLUGIN_STRUCT* plugin = m_tx_manager->get_plugin_struct(row))
            plugins.append(plugin);
    });
    if (!plugins.isEmpty())
        m_tx_manager->get_plugin_user_options(&plugins, false);
    qDeleteAll(plugins);
}

// ---- locate --------------------------------------------------------------------------------------

// The first selected row that is not a bus or group; -1 when none.
int SEDQ_VIEW::first_selected_leaf()
{
    const int count = m_tx_manager->get_node_count(SEDQ_CURRENT);
    for (int row = 0; row < count; ++row)
        if (is_selected_child(row))
            return row;
    return -1;
}

HDB_INSTANCE_NAME* SEDQ_VIEW::find_locate_instance(HDB_NAMESPACE* names)
{
    const int row = first_selected_leaf();
    if (names == nullptr || row == -1)
        return nullptr;
    return names->get_instance_name(SEDQ_NODE(m_tx_manager, row, SEDQ_CURRENT).get_name());
}

void SEDQ_VIEW::on_update_locate()
{
    if (!SEDQ_VERIFY(this->m_frame_wnd != NULL) || !holds_focus())
        return;
    bool found = false;
    {
        SEDQ_LOCATE_NAMESPACE names("SEDQ_VIEW::on_update_locate");
        found = find_locate_instance(names.get()) != nullptr;
    }
    const bool enabled =
        found && m_tx_manager->can_locate() && get_selection_count() == 1 && get_selected_child() != -1;
    AFCQ_LOCATE_MENU* menu = m_frame_wnd->get_locate_menu();
    qui_enable_locate_menu_actions(menu, enabled ? 2 : 0);
    menu->get_design_file_action()->setEnabled(enabled);
}

// An empty schema is passed on too: the host tool then shows what it shows by itself.
void SEDQ_VIEW::on_locate(CLSID target)
{
    if (!holds_focus())
        return;
    MSG_GEN_LOCATION_SCHEMA schema;
    {
        SEDQ_LOCATE_NAMESPACE names("SEDQ_VIEW::do_locate_triggered");
        if (names.get() == nullptr)
            return;
        if (HDB_INSTANCE_NAME* instance = find_locate_instance(names.get()))
        {
            if (gen_is_qhd())
            {
                std::string path;
                instance->get_short_hpath(&path);
                schema.add(new MSG_GEN_LOC_INSTANCE(path));
            }
            else
                schema.add(new MSG_GEN_LOC_INSTANCE(HDB_NAME_MGR::get_iname_id(instance)));
        }
    }
    qui_locate(target, &schema, false);
}

// The instance's own place when the netlist knows it, else the place of the design unit of
// the entity it is made of.
void SEDQ_VIEW::on_locate_design_file()
{
    if (!holds_focus())
        return;
    MSG_GEN_LOCATION_SCHEMA* location = nullptr;
    {
        SEDQ_LOCATE_NAMESPACE names("SEDQ_VIEW::do_locate_in_design_file");
        HDB_INSTANCE_NAME* instance = find_locate_instance(names.get());
        if (instance == nullptr)
            return;
        location = instance->get_location();
        if (location == nullptr)
        {
            MSG_GEN_LOCATION_SCHEMA* iname_schema = instance->get_design_file_schema();
            if (!SEDQ_VERIFY(iname_schema != nullptr))
                return;
            const MSG_GEN_LOC_INSTANCE* entity = iname_schema->get_node(0);
            HDB_DESIGN_UNIT* unit =
                entity != nullptr ? names.get()->find_entity(entity->get_name().c_str(), false) : nullptr;
            if (unit != nullptr && unit->get_file() != nullptr)
                location = unit->get_location();
        }
    }
    if (location != nullptr)
        qui_locate_to_design_file(location, false);
}
