// SEDQ_OBJECT_WIDGET: locating the node behind the one selected Node object in a host tool or
// in its design file, through the netlist of the open project. The frame's Locate menu is
// shared with the node view: each answers only while it has the focus.
#include "sedq/advanced_trigger/sedq_object_widget.h"

#include "host/afcq.h"
#include "host/gen.h"
#include "host/hdb.h"
#include "host/msg.h"
#include "host/qui.h"
#include "sedq/advanced_trigger/sedq_object.h"
#include "sedq/frame/sedq_frame_wnd.h"
#include "sedq/model/sedq_locate_namespace.h"
#include "sedq/model/sedq_tx_manager.h"
#include "sedq/model/sedq_verify.h"

#include <QAction>

#include <memory>

// The name the locate commands look up: the first selected object's.
QString SEDQ_OBJECT_WIDGET::get_locate_name() const
{
    const SEDQ_OBJECT* object = get_selected_item();
    return object != nullptr ? object->get_name() : QString();
}

void SEDQ_OBJECT_WIDGET::on_update_locate()
{
    SEDQ_FRAME_WND* frame = SEDQ_FRAME_WND::of(m_tx);
    if (!SEDQ_VERIFY(frame != NULL) || !holds_focus())
        return;
    bool found = false;
    if (get_selected_item() != nullptr)
    {
        const SEDQ_LOCATE_NAMESPACE names("SEDQ_OBJECT_WIDGET::on_update_locate",
                                          HDB_NAMESPACE::PDB_PRE_SYNTHESIS);
        found = names.find(get_locate_name()) != nullptr;
    }
    const SEDQ_OBJECT* object = get_selected_item();
    const bool enabled = m_tx->can_locate() && get_selection_count() == 1 &&
                         object->get_type() == SEDQ_OBJECT::NODE && !object->get_name().isEmpty() && found &&
                         !is_disabled();
    AFCQ_LOCATE_MENU* menu = frame->get_locate_menu();
    if (!SEDQ_VERIFY(menu != NULL))
        return;
    qui_enable_locate_menu_actions(menu, enabled ? 2 : 0);
    menu->get_design_file_action()->setEnabled(enabled);
}

void SEDQ_OBJECT_WIDGET::on_locate_triggered(CLSID target)
{
    if (!holds_focus())
        return;
    const QString name = get_locate_name();
    QUI_PRJ_UI_MGR* project_ui_mgr = QUI_PRJ_UI_MGR::get_prj_ui_mgr();
    if (!SEDQ_VERIFY(project_ui_mgr != nullptr) || !project_ui_mgr->project_is_open())
        return;
    auto schema = std::make_unique<MSG_GEN_LOCATION_SCHEMA>();
    {
        SEDQ_LOCATE_NAMESPACE names("SEDQ_OBJECT_WIDGET::do_locate_triggered",
                                    HDB_NAMESPACE::PDB_PRE_SYNTHESIS);
        if (names.get() == nullptr)
            return;
        HDB_INSTANCE_NAME* instance = names.find(name);
        if (instance == nullptr)
            return;
        if (gen_is_qhd())
        {
            std::string path;
            instance->get_short_hpath(&path, 0);
            schema->add(new MSG_GEN_LOC_INSTANCE(path));
        }
        else
            schema->add(new MSG_GEN_LOC_INSTANCE(HDB_NAME_MGR::get_iname_id(instance)));
    }
    qui_locate(target, schema.get(), false);
}

// The netlist keeps the instance's design-file schema; the host is handed a schema of the
// canvas's own, the entity it names followed by the node name, so that asking twice does not
// grow the netlist's.
void SEDQ_OBJECT_WIDGET::on_locate_design_file()
{
    if (!holds_focus())
        return;
    const QString name = get_locate_name();
    QUI_PRJ_UI_MGR* project_ui_mgr = QUI_PRJ_UI_MGR::get_prj_ui_mgr();
    if (!SEDQ_VERIFY(project_ui_mgr != NULL) || !project_ui_mgr->project_is_open())
        return;
    // During an incremental compile the partitions' netlists are all valid places to look.
    const HDB_NAMESPACE::PDB_FILE_TYPE type =
        m_tx->is_incremental_compile() ? HDB_NAMESPACE::PDB_ANY : HDB_NAMESPACE::PDB_PRE_SYNTHESIS;
    std::unique_ptr<MSG_GEN_LOCATION_SCHEMA> schema;
    {
        SEDQ_LOCATE_NAMESPACE names("sedq_object_widget", type);
        HDB_INSTANCE_NAME* instance = names.find(name);
        const MSG_GEN_LOCATION_SCHEMA* design_file = instance != nullptr ? instance->get_design_file_schema() : nullptr;
        if (design_file == nullptr)
            return;
        schema = std::make_unique<MSG_GEN_LOCATION_SCHEMA>();
        for (int index = 0; index < design_file->get_node_count(); ++index)
            schema->add(new MSG_GEN_LOC_INSTANCE(design_file->get_node(index)->get_name()));
    }
    schema->set_node_name(name.toLocal8Bit().constData());
    qui_locate_to_design_file(schema.get(), false);
}
