// Node-finder stand-in: a real dialog over the project's netlists (pattern, list, multiple
// selection, insert), the single-node finder behind the dynamic loader, and the seams that
// script both.
#include "host/unbq.h"

#include "host/dbmui.h"
#include "host/standin/afcq_control.h"
#include "host/standin/standin.h"
#include "host/standin/thr_control.h"
#include "host/standin/unbq_control.h"

#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QTreeWidget>
#include <QTreeWidgetItemIterator>
#include <QVBoxLayout>

#include <deque>
#include <list>

namespace
{
constexpr const char* CLIENT = "unbq";
constexpr int NAME_COLUMN = 0;
constexpr int FLAGS_COLUMN = 2;
constexpr int ENTRY_ROLE = Qt::UserRole + 1;
constexpr int POPULATED_ROLE = Qt::UserRole + 2;

struct unbq_state
{
    int created = 0;
    std::vector<std::string> filters;
    std::deque<AFCQ_INSTANCE_NAME_LIST> single_results;
};

unbq_state& state()
{
    static unbq_state s;
    return s;
}

QList<QPointer<UNBQ_DIALOG>>& dialogs()
{
    static QList<QPointer<UNBQ_DIALOG>> list;
    return list;
}

void reset()
{
    state() = unbq_state();
}

const standin::reset_registrar registrar(&reset);

struct loader_registrar
{
    loader_registrar()
    {
        standin::thr::register_function("prj_unbq.dll", "unbq_dyn_node_finder_dialog_instance_name_widget",
                                        reinterpret_cast<void*>(&unbq_dyn_node_finder_dialog_instance_name_widget));
    }
} const loader;

AFCQ_INSTANCE_NAME entry_of(HDB_INSTANCE_NAME* name)
{
    const QPair<int, int> first(name->get_dimension(0).first, name->get_dimension(0).second);
    const QPair<int, int> second(name->get_dimension(1).first, name->get_dimension(1).second);
    return AFCQ_INSTANCE_NAME(name->size_dimension(), QString::fromStdString(name->get_hpath_to_root()),
                              name->get_flags().get(), first, second);
}

// The finder lists what can be tapped: buses (not the rows inside them) and single nodes, never
// the hierarchy levels that only hold other instances.
bool is_listed(HDB_INSTANCE_NAME* name)
{
    HDB_INSTANCE_NAME* parent = name->get_parent();
    if (parent != nullptr && parent->size_dimension() != 0)
        return false;
    if (name->size_dimension() != 0)
        return true;
    return name->begin_child(0) == name->end_child(0) && name->get_flags().get() != 0;
}

QString kind_text(const AFCQ_INSTANCE_NAME& entry)
{
    if (entry.get_kind() == 0)
        return QStringLiteral("node");
    const auto bounds = [](QPair<int, int> d) { return QStringLiteral("[%1..%2]").arg(d.first).arg(d.second); };
    QString text = bounds(entry.get_first_dimension());
    if (entry.get_kind() == 2)
        text += bounds(entry.get_second_dimension());
    return text;
}

QTreeWidgetItem* make_item(const AFCQ_INSTANCE_NAME& entry)
{
    const HDB_INSTANCE_NAME_FLAG flags(entry.get_flags());
    auto* item = new QTreeWidgetItem(
        {entry.get_full_name(), kind_text(entry), QString::fromStdString(flags.describe())});
    item->setToolTip(FLAGS_COLUMN, QStringLiteral("0x%1").arg(flags.get(), 8, 16, QChar('0')));
    item->setData(NAME_COLUMN, ENTRY_ROLE, QVariant::fromValue(AFCQ_INSTANCE_NAME_LIST{entry}));
    if (entry.get_kind() != 0)
        item->setChildIndicatorPolicy(QTreeWidgetItem::ShowIndicator);
    return item;
}

AFCQ_INSTANCE_NAME entry_in(const QTreeWidgetItem* item)
{
    const AFCQ_INSTANCE_NAME_LIST list = item->data(NAME_COLUMN, ENTRY_ROLE).value<AFCQ_INSTANCE_NAME_LIST>();
    return list.isEmpty() ? AFCQ_INSTANCE_NAME() : list.front();
}

// Runs `use` on the netlist of that type while the project lends it; nothing without one.
template <typename USE>
void with_netlist(bool post_fitting, USE use)
{
    DBMUI_MANAGER* manager = DBMUI_MANAGER::get_dbmui_manager(0);
    HDB_NAMESPACE* names =
        manager == nullptr ? nullptr
                           : manager->get_hdb_cmp_action_pt_instance(
                                 CLIENT, post_fitting ? HDB_NAMESPACE::PDB_POST_FIT : HDB_NAMESPACE::PDB_PRE_SYNTHESIS,
                                 false, nullptr, false);
    if (names == nullptr)
        return;
    use(names);
    manager->unget_hdb_cmp_action_pt_instance(&names, CLIENT);
}
} // namespace

UNBQ_DIALOG::UNBQ_DIALOG(QWidget* frame, int mode) : QDialog(frame), m_mode(mode)
{
    setModal(mode == 0);
    setWindowTitle(QStringLiteral("Node Finder"));
    make_widgets();
    ++state().created;
    dialogs().append(this);
    standin::record_call("unbq:UNBQ_DIALOG(" + std::to_string(mode) + ")");
}

void UNBQ_DIALOG::make_widgets()
{
    m_pattern = new QLineEdit(QStringLiteral("*"), this);
    auto* list_button = new QPushButton(QStringLiteral("&List"), this);
    m_results = new QTreeWidget(this);
    m_results->setHeaderLabels({QStringLiteral("Name"), QStringLiteral("Bits"), QStringLiteral("Flags")});
    m_results->setSelectionMode(m_mode == 0 ? QAbstractItemView::SingleSelection
                                            : QAbstractItemView::ExtendedSelection);
    m_results->header()->setStretchLastSection(false);
    m_results->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
    m_results->header()->setSectionResizeMode(NAME_COLUMN, QHeaderView::Stretch);
    m_results->setTextElideMode(Qt::ElideMiddle);
    m_status = new QLabel(this);
    auto* buttons = new QDialogButtonBox(this);
    m_insert = buttons->addButton(m_mode == 0 ? QStringLiteral("OK") : QStringLiteral("&Insert"),
                                  QDialogButtonBox::AcceptRole);
    buttons->addButton(m_mode == 0 ? QDialogButtonBox::Cancel : QDialogButtonBox::Close);
    auto* search = new QHBoxLayout;
    auto* named = new QLabel(QStringLiteral("&Named:"), this);
    named->setBuddy(m_pattern);
    search->addWidget(named);
    search->addWidget(m_pattern, 1);
    search->addWidget(list_button);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(search);
    layout->addWidget(m_results, 1);
    layout->addWidget(m_status);
    layout->addWidget(buttons);
    resize(640, 460);
    connect(list_button, &QPushButton::clicked, this, &UNBQ_DIALOG::list_nodes);
    connect(m_pattern, &QLineEdit::returnPressed, this, &UNBQ_DIALOG::list_nodes);
    connect(m_insert, &QPushButton::clicked, this, &UNBQ_DIALOG::on_insert);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(m_results, &QTreeWidget::itemExpanded, this, &UNBQ_DIALOG::on_item_expanded);
    connect(m_results, &QTreeWidget::itemSelectionChanged, this, &UNBQ_DIALOG::on_selection_changed);
    connect(m_results, &QTreeWidget::itemDoubleClicked, this, [this](QTreeWidgetItem* item) {
        m_results->setCurrentItem(item);
        on_insert();
    });
    on_selection_changed();
}

void UNBQ_DIALOG::set_filter(const char* filter)
{
    m_filter = QString::fromUtf8(filter ? filter : "");
    setWindowTitle(QStringLiteral("Node Finder - %1").arg(m_filter));
    state().filters.push_back(m_filter.toStdString());
    standin::record_call("unbq:set_filter(" + m_filter.toStdString() + ")");
    list_nodes();
}

void UNBQ_DIALOG::clear_selected_node()
{
    m_results->clearSelection();
    standin::record_call("unbq:clear_selected_node()");
}

bool UNBQ_DIALOG::is_post_fitting() const
{
    return m_filter.endsWith(QLatin1String("post-fitting"));
}

void UNBQ_DIALOG::set_pattern(const QString& pattern)
{
    m_pattern->setText(pattern);
    list_nodes();
}

void UNBQ_DIALOG::list_nodes()
{
    m_results->clear();
    const QByteArray pattern = (m_pattern->text().trimmed().isEmpty() ? QStringLiteral("*") : m_pattern->text()).toUtf8();
    int matches = 0;
    QList<QTreeWidgetItem*> items;
    with_netlist(is_post_fitting(), [&](HDB_NAMESPACE* names) {
        std::list<HDB_INSTANCE_NAME*> found;
        names->get_rooted_at()->find_descendants_matching_wildcard(pattern.constData(), &found);
        for (HDB_INSTANCE_NAME* name : found)
        {
            if (!is_listed(name))
                continue;
            if (++matches <= MAX_LISTED)
                items.append(make_item(entry_of(name)));
        }
    });
    m_results->addTopLevelItems(items);
    m_status->setText(matches > MAX_LISTED
                          ? QStringLiteral("%1 nodes found; the first %2 are listed").arg(matches).arg(MAX_LISTED)
                          : QStringLiteral("%1 nodes found").arg(matches));
}

// Bus members are listed when their bus is opened, so a listing of many buses stays small.
void UNBQ_DIALOG::on_item_expanded(QTreeWidgetItem* item)
{
    if (item->data(NAME_COLUMN, POPULATED_ROLE).toBool())
        return;
    item->setData(NAME_COLUMN, POPULATED_ROLE, true);
    const QByteArray full_name = entry_in(item).get_full_name().toUtf8();
    with_netlist(is_post_fitting(), [&](HDB_NAMESPACE* names) {
        std::vector<HDB_INSTANCE_NAME*> members;
        if (HDB_INSTANCE_NAME* bus = names->get_instance_name(full_name.constData()))
            bus->get_members(&members);
        for (HDB_INSTANCE_NAME* member : members)
            item->addChild(make_item(entry_of(member)));
    });
}

void UNBQ_DIALOG::on_selection_changed()
{
    m_insert->setEnabled(!m_results->selectedItems().isEmpty());
}

bool UNBQ_DIALOG::select_names(const QStringList& full_names)
{
    m_results->clearSelection();
    bool all = true;
    for (const QString& name : full_names)
    {
        const QList<QTreeWidgetItem*> hits = m_results->findItems(name, Qt::MatchExactly, NAME_COLUMN);
        all = all && !hits.isEmpty();
        for (QTreeWidgetItem* hit : hits)
            hit->setSelected(true);
    }
    return all;
}

AFCQ_INSTANCE_NAME_LIST UNBQ_DIALOG::selected_names() const
{
    AFCQ_INSTANCE_NAME_LIST list;
    // In the order the list shows them, not the order they were clicked.
    for (QTreeWidgetItemIterator it(m_results, QTreeWidgetItemIterator::Selected); *it; ++it)
        list.append(entry_in(*it));
    return list;
}

int UNBQ_DIALOG::listed_count() const
{
    return m_results->topLevelItemCount();
}

QString UNBQ_DIALOG::status_text() const
{
    return m_status->text();
}

void UNBQ_DIALOG::on_insert()
{
    const AFCQ_INSTANCE_NAME_LIST list = selected_names();
    if (list.isEmpty())
        return;
    standin::record_call("unbq:on_selected_list(" + std::to_string(list.size()) + ")");
    emit on_selected_list(list);
    if (m_mode == 0)
        accept();
}

bool unbq_dyn_node_finder_dialog_instance_name_widget(QWidget* frame, AFCQ_INSTANCE_NAME_LIST* out,
                                                      const char* filter)
{
    if (out == nullptr)
        return false;
    out->clear();
    state().filters.push_back(filter != nullptr ? filter : "");
    if (!state().single_results.empty())
    {
        *out = state().single_results.front();
        state().single_results.pop_front();
        return !out->isEmpty();
    }
    UNBQ_DIALOG dialog(frame, 0);
    dialog.set_filter(filter);
    if (dialog.exec() == QDialog::Accepted)
        *out = dialog.selected_names().mid(0, 1);
    return !out->isEmpty();
}

namespace standin::unbq
{
int created_count()
{
    return state().created;
}

UNBQ_DIALOG* live_dialog()
{
    QList<QPointer<UNBQ_DIALOG>>& list = dialogs();
    list.removeAll(nullptr);
    return list.isEmpty() ? nullptr : list.back().data();
}

bool select(const AFCQ_INSTANCE_NAME_LIST& list)
{
    UNBQ_DIALOG* dialog = live_dialog();
    if (dialog == nullptr)
        return false;
    emit dialog->on_selected_list(list);
    return true;
}

std::vector<std::string> filters()
{
    return state().filters;
}

void push_single_result(const AFCQ_INSTANCE_NAME_LIST& list)
{
    state().single_results.push_back(list);
}

int pending_single_results()
{
    return int(state().single_results.size());
}

AFCQ_INSTANCE_NAME entry_for(int netlist, const std::string& name)
{
    AFCQ_INSTANCE_NAME entry(3, QString::fromStdString(name), 0);
    with_netlist(netlist == HDB_NAMESPACE::PDB_POST_FIT, [&](HDB_NAMESPACE* names) {
        if (HDB_INSTANCE_NAME* found = names->get_instance_name(name.c_str()))
            entry = entry_of(found);
    });
    return entry;
}
} // namespace standin::unbq
