// SEDQ_KPT_MANAGER: post-fitting state machines, their state registers and state encodings read
// from the keypoint databases of the current revision.
#include "sedq/view/sedq_kpt_manager.h"

#include "host/afcq.h"
#include "host/dbmui.h"
#include "host/gen.h"
#include "host/kpt.h"
#include "sedq/model/sedq_verify.h"

#include <string>

namespace
{
constexpr unsigned REGISTER_TRANSFORMATION_KIND = 0x200;
} // namespace

SEDQ_KPT_MANAGER::SEDQ_KPT_MANAGER() : m_kpt_keypoints_manager(KPT_KEYPOINTS_MANAGER::get_instance())
{
    if (!SEDQ_VERIFY(this->m_kpt_keypoints_manager != NULL))
        return;
    DBMUI_MANAGER* dbmui_manager = DBMUI_MANAGER::get_dbmui_manager(0);
    if (!SEDQ_VERIFY(dbmui_manager != NULL))
        return;
    // Without an open project there is no compiled revision to read: nothing to load.
    const char* project_revision_name = dbmui_manager->get_project_revision_name();
    if (project_revision_name == nullptr || *project_revision_name == '\0')
        return;
    const std::string stem = gen_get_db_dir_path_string() + project_revision_name;
    m_map_database = m_kpt_keypoints_manager->load_keypoints_db(stem + ".map.kpt", MAP_DATABASE_NAME);
    // The compile database needs a name of its own: a database loaded under the empty name
    // could never be destroyed again.
    m_compile_database = m_kpt_keypoints_manager->load_keypoints_db(stem + ".cmp.kpt", COMPILE_DATABASE_NAME);
    if (m_map_database != nullptr && m_compile_database != nullptr)
        m_map_database->compose_on_transformed(m_compile_database, "");
}

SEDQ_KPT_MANAGER::~SEDQ_KPT_MANAGER()
{
    if (!SEDQ_VERIFY(this->m_kpt_keypoints_manager != NULL))
        return;
    destroy(m_map_database);
    destroy(m_compile_database);
}

void SEDQ_KPT_MANAGER::destroy(KPT_KEYPOINTS_DB* database)
{
    if (database == nullptr)
        return;
    const std::string name = database->get_name();
    if (!SEDQ_VERIFY(!name.empty()))
        return;
    if (!this->m_kpt_keypoints_manager->destroy_keypoints_db(name))
        SEDQ_REPORT("this->m_kpt_keypoints_manager->destroy_keypoints_db(name)");
}

bool SEDQ_KPT_MANAGER::is_database_loaded()
{
    return m_map_database != nullptr;
}

QString SEDQ_KPT_MANAGER::bar_name(const char* name)
{
    return QString::fromUtf8(name != nullptr ? name : "").replace(QLatin1Char('/'), QLatin1Char('|'));
}

void SEDQ_KPT_MANAGER::for_each_machine(const std::function<bool(KPT_REGISTER_TRANSFORMATION*)>& visit)
{
    if (m_map_database == nullptr)
        return;
    KPT_TRANSFORMATION_SET_REGISTER_ITERATOR it(m_map_database->get_transformation_set(),
                                                REGISTER_TRANSFORMATION_KIND);
    for (it.first(); !it.done(); it.next())
    {
        KPT_REGISTER_TRANSFORMATION* machine = it.item();
        if (machine != nullptr && machine->get_state_table() != nullptr && !visit(machine))
            return;
    }
}

void SEDQ_KPT_MANAGER::get_state_machine_list(QStringList* list)
{
    list->clear();
    for_each_machine([list](KPT_REGISTER_TRANSFORMATION* machine) {
        list->append(bar_name(machine->get_state_table()->get_fsm_name()));
        return true;
    });
}

void SEDQ_KPT_MANAGER::get_node_list(const QString& state_machine, QStringList* nodes)
{
    nodes->clear();
    for_each_machine([&](KPT_REGISTER_TRANSFORMATION* machine) {
        if (bar_name(machine->get_state_table()->get_fsm_name()) != state_machine)
            return true;
        for (int k = 1; k <= machine->get_state_transformed_size(); ++k)
        {
            const KPT_REGISTER_KEYPOINT* reg = machine->get_transformed(k);
            nodes->append(bar_name(reg != nullptr ? reg->get_name() : nullptr));
        }
        return false;
    });
}

// The state's register values, register r first; an entry other than 0 or 1 (a register the
// state leaves open) adds no character.
QString SEDQ_KPT_MANAGER::state_value(KPT_REGISTER_TRANSFORMATION* machine, int state)
{
    QString value;
    for (int k = machine->get_state_transformed_size(); k >= 1; --k)
    {
        const int entry = machine->get_state_table()->get_transformed_entry(state, k);
        if (entry == 0 || entry == 1)
            value += QLatin1Char(entry == 1 ? '1' : '0');
    }
    return value;
}

void SEDQ_KPT_MANAGER::get_mnemonic_list(const QString& state_machine, QStringList* names, QStringList* values)
{
    names->clear();
    values->clear();
    for_each_machine([&](KPT_REGISTER_TRANSFORMATION* machine) {
        KPT_STATE_TABLE* table = machine->get_state_table();
        if (bar_name(table->get_fsm_name()) != state_machine)
            return true;
        for (int s = 1; s <= table->get_number_of_states(); ++s)
        {
            const QString state_name = QString::fromUtf8(table->get_state_name(s) ? table->get_state_name(s) : "");
            const int dot = state_name.indexOf(QLatin1Char('.'));
            names->append(dot < 0 ? state_name : state_name.mid(dot + 1));
            values->append(state_value(machine, s));
        }
        return true;
    });
}

QString SEDQ_KPT_MANAGER::dump_machine(KPT_REGISTER_TRANSFORMATION* machine)
{
    KPT_STATE_TABLE* table = machine->get_state_table();
    const int registers = machine->get_state_transformed_size();
    QString text = QStringLiteral("fsm name: %1\n").arg(QString::fromUtf8(table->get_fsm_name()));
    text += QStringLiteral("state transformed size: %1\n").arg(registers);
    text += QStringLiteral("number of states: %1\n").arg(table->get_number_of_states());
    for (int k = 1; k <= registers; ++k)
    {
        const KPT_REGISTER_KEYPOINT* reg = machine->get_transformed(k);
        text += QStringLiteral("register: %1\n").arg(QString::fromUtf8(reg != nullptr ? reg->get_name() : ""));
    }
    for (int s = 1; s <= table->get_number_of_states(); ++s)
    {
        const char* state_name = table->get_state_name(s);
        text += QStringLiteral("state_name: %1\n").arg(QString::fromUtf8(state_name ? state_name : ""));
        text += state_value(machine, s) + QLatin1Char('\n');
    }
    return text;
}

void SEDQ_KPT_MANAGER::dump()
{
    if (m_map_database == nullptr)
        return;
    QString text;
    for_each_machine([&](KPT_REGISTER_TRANSFORMATION* machine) {
        text += dump_machine(machine);
        return true;
    });
    afcq_message_box(text.trimmed(), 1);
}
