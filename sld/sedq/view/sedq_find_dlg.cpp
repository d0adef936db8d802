// SEDQ_FIND_DLG: the widgets and their state, the targets of either mode, and the three Find
// Next steps (the dialog's button, the view's command, the canvas's command).
#include "sedq/view/sedq_find_dlg.h"

#include "sedq/advanced_trigger/sedq_object.h"
#include "sedq/advanced_trigger/sedq_object_find_target.h"
#include "sedq/advanced_trigger/sedq_object_widget.h"
#include "sedq/frame/sedq_frame_wnd.h"
#include "sedq/frame/sedq_hierarchy_widget.h"
#include "sedq/frame/sedq_layout_widget.h"
#include "sedq/model/msg_sedq.h"
#include "sedq/model/sedq_tx_manager.h"
#include "sedq/model/sedq_util.h"
#include "sedq/model/sedq_verify.h"
#include "sedq/view/sedq_find_target.h"
#include "sedq/view/sedq_hidden_by_hierarchy.h"
#include "sedq/view/sedq_view.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include <algorithm>

namespace
{
constexpr int ANSWER_YES = 6;
// The find-in set of the "Find in" boxes a mode shows, when all are checked.
constexpr unsigned int VIEW_FIND_IN = 3;
constexpr unsigned int OBJECT_FIND_IN = 31;

const char* const OPTION_TEXTS[3] = {"Match case", "Find whole words only", "Use regular expressions"};
const char* const FIND_IN_TEXTS[SEDQ_FIND_DLG::FIND_IN_BOX_COUNT] = {"Node names", "Bus names", "Other names",
                                                                     "Object aliases", "Object types"};
const char* const DIRECTION_TEXTS[3] = {"Up", "Down", "All"};
} // namespace

SEDQ_FIND_DLG::SEDQ_FIND_DLG(QWidget* parent, SEDQ_FRAME_WND* frame, bool view_mode)
    : AFCQ_DIALOG(parent), m_view_mode(view_mode), m_frame(frame)
{
    if (SEDQ_VERIFY(frame != NULL) && frame->get_layout_widget() != nullptr)
    {
        m_canvas = frame->get_layout_widget()->get_object_widget();
        m_view = frame->get_layout_widget()->get_view();
    }
    make_widgets();
    layout_widgets();
    if (m_view_mode)
    {
        add_view_targets();
        for (FIND_IN_BOX box : {OBJECT_ALIASES, OBJECT_TYPES, OTHER_NAMES})
        {
            m_find_in_check_boxes[box]->hide();
            m_find_in_check_boxes[box]->setEnabled(false);
        }
    }
    else
        add_object_targets(nullptr);
    load_find_dlg_state();
    m_last_result = nullptr;
    connect_widgets();
}

// The engine is a member; the targets are the dialog's.
SEDQ_FIND_DLG::~SEDQ_FIND_DLG()
{
    delete_targets();
}

QCheckBox* SEDQ_FIND_DLG::get_option_check_box(int index) const
{
    return index >= 0 && index < 3 ? m_option_check_boxes[index] : nullptr;
}

QCheckBox* SEDQ_FIND_DLG::get_find_in_check_box(FIND_IN_BOX box) const
{
    return box >= 0 && box < FIND_IN_BOX_COUNT ? m_find_in_check_boxes[box] : nullptr;
}

// ---- widgets ---------------------------------------------------------------------------------------

void SEDQ_FIND_DLG::make_widgets()
{
    setWindowTitle(QStringLiteral("Find"));
    m_find_label = new QLabel(QStringLiteral("Find what:"), this);
    m_find_text_edit = new QLineEdit(this);
    m_find_label->setBuddy(m_find_text_edit);
    for (int i = 0; i < 3; ++i)
        m_option_check_boxes[i] = new QCheckBox(QString::fromLatin1(OPTION_TEXTS[i]), this);
    m_direction_label = new QLabel(QStringLiteral("Search:"), this);
    m_direction_combo = new QComboBox(this);
    for (const char* text : DIRECTION_TEXTS)
        m_direction_combo->addItem(QString::fromLatin1(text));
    m_direction_combo->setCurrentIndex(2);
    for (int i = 0; i < FIND_IN_BOX_COUNT; ++i)
        m_find_in_check_boxes[i] = new QCheckBox(QString::fromLatin1(FIND_IN_TEXTS[i]), this);
    m_all_check_box = new QCheckBox(QStringLiteral("All"), this);
    m_find_next_button = new QPushButton(QStringLiteral("Find Next"), this);
    m_find_next_button->setDefault(true);
    m_button_box =
        new QDialogButtonBox(QDialogButtonBox::Cancel | QDialogButtonBox::Help, Qt::Vertical, this);
}

// View mode lists the boxes it shows first; object mode puts "All" last.
void SEDQ_FIND_DLG::layout_widgets()
{
    auto* grid = new QGridLayout(this);
    grid->addWidget(m_find_label, 0, 0);
    grid->addWidget(m_find_text_edit, 0, 1, 1, 2);
    grid->addWidget(m_find_next_button, 0, 3);
    for (int i = 0; i < 3; ++i)
        grid->addWidget(m_option_check_boxes[i], i + 1, 0);
    grid->addWidget(m_direction_label, 1, 1);
    grid->addWidget(m_direction_combo, 1, 2);
    grid->addWidget(m_button_box, 1, 3, 3, 1);
    auto* group = new QGroupBox(QStringLiteral("Find in"), this);
    auto* inner = new QGridLayout(group);
    QCheckBox* const* boxes = m_find_in_check_boxes;
    const QList<QCheckBox*> first_column =
        m_view_mode ? QList<QCheckBox*>{boxes[NODE_NAMES], boxes[BUS_NAMES], m_all_check_box}
                    : QList<QCheckBox*>{boxes[NODE_NAMES], boxes[BUS_NAMES], boxes[OTHER_NAMES]};
    const QList<QCheckBox*> third_column =
        m_view_mode ? QList<QCheckBox*>{boxes[OBJECT_ALIASES], boxes[OBJECT_TYPES], boxes[OTHER_NAMES]}
                    : QList<QCheckBox*>{boxes[OBJECT_ALIASES], boxes[OBJECT_TYPES], m_all_check_box};
    for (int row = 0; row < 3; ++row)
    {
        inner->addWidget(first_column[row], row, 0);
        inner->addWidget(third_column[row], row, 2);
    }
    grid->addWidget(group, 4, 0, 1, 4);
}

void SEDQ_FIND_DLG::connect_widgets()
{
    connect(m_find_text_edit, &QLineEdit::textChanged, this, &SEDQ_FIND_DLG::on_find_text_changed);
    connect(m_all_check_box, &QCheckBox::clicked, this, &SEDQ_FIND_DLG::on_find_all_state_changed);
    for (QCheckBox* box : m_find_in_check_boxes)
        connect(box, &QCheckBox::stateChanged, this, &SEDQ_FIND_DLG::on_find_in_state_changed);
    for (QCheckBox* box : m_option_check_boxes)
        connect(box, &QCheckBox::stateChanged, this, &SEDQ_FIND_DLG::on_find_option_changed);
    connect(m_find_next_button, &QPushButton::clicked, this, &SEDQ_FIND_DLG::on_find_next_clicked);
    connect(m_direction_combo, qOverload<int>(&QComboBox::currentIndexChanged), this,
            &SEDQ_FIND_DLG::on_search_direction_combo_changed);
    connect(m_button_box, &QDialogButtonBox::rejected, this, &SEDQ_FIND_DLG::reject);
    connect(m_button_box, &QDialogButtonBox::helpRequested, this, &SEDQ_FIND_DLG::help_button_clicked);
}

// ---- state -----------------------------------------------------------------------------------------

void SEDQ_FIND_DLG::load_find_dlg_state()
{
    const SEDQ_FIND_STATE& state = m_state_to_load;
    m_find_text = state.text;
    m_find_text_edit->setText(QString::fromLocal8Bit(state.text));
    m_option_check_boxes[0]->setChecked(state.match_case);
    m_option_check_boxes[1]->setChecked(state.whole_words);
    m_option_check_boxes[2]->setChecked(state.regular_expressions);
    on_find_option_changed();
    const int index = state.direction == QLatin1String("Up")     ? 0
                      : state.direction == QLatin1String("Down") ? 1
                                                                 : 2;
    m_direction_combo->setCurrentIndex(index);
    on_search_direction_combo_changed(index);
    const bool find_in[FIND_IN_BOX_COUNT] = {state.node_names, state.bus_names, state.other_names,
                                             state.object_aliases, state.object_types};
    for (int i = 0; i < FIND_IN_BOX_COUNT; ++i)
        m_find_in_check_boxes[i]->setChecked(find_in[i]);
    on_find_in_state_changed();
}

void SEDQ_FIND_DLG::save_find_dlg_state()
{
    SEDQ_FIND_STATE* state = nullptr;
    if (!m_view_mode && m_canvas != nullptr)
        state = &m_canvas->get_find_state();
    else if (m_view_mode && m_view != nullptr)
        state = &m_view->get_find_state();
    if (state == nullptr)
        return;
    state->match_case = m_option_check_boxes[0]->isChecked();
    state->whole_words = m_option_check_boxes[1]->isChecked();
    state->regular_expressions = m_option_check_boxes[2]->isChecked();
    state->direction = m_direction_combo->currentText();
    state->node_names = m_find_in_check_boxes[NODE_NAMES]->isChecked();
    state->bus_names = m_find_in_check_boxes[BUS_NAMES]->isChecked();
    if (!m_view_mode)
    {
        state->other_names = m_find_in_check_boxes[OTHER_NAMES]->isChecked();
        state->object_aliases = m_find_in_check_boxes[OBJECT_ALIASES]->isChecked();
        state->object_types = m_find_in_check_boxes[OBJECT_TYPES]->isChecked();
    }
    state->text = m_find_text;
}

// The target a previous match stands for: the engine's answer is only kept as "there was one",
// and a target index past the list (rows deleted since) is no previous match.
void SEDQ_FIND_DLG::set_find_position(const SEDQ_FIND_POSITION& position)
{
    m_target_index = position.target_index;
    m_position = position.position;
    m_length = position.length;
    m_last_result = position.matched && position.target_index < m_targets.size()
                        ? m_targets[position.target_index]
                        : nullptr;
}

SEDQ_FIND_POSITION SEDQ_FIND_DLG::get_find_position() const
{
    SEDQ_FIND_POSITION position;
    position.target_index = m_target_index;
    position.position = m_position;
    position.length = m_length;
    position.matched = m_last_result != nullptr;
    return position;
}

// ---- widget slots ----------------------------------------------------------------------------------

void SEDQ_FIND_DLG::on_find_text_changed(const QString& text)
{
    m_find_text = text.toLocal8Bit();
    update_find_next_button();
}

void SEDQ_FIND_DLG::on_find_in_state_changed()
{
    m_find_in = 0;
    for (int i = 0; i < FIND_IN_BOX_COUNT; ++i)
        if (m_find_in_check_boxes[i]->isChecked())
            m_find_in |= 1u << i;
    update_find_next_button();
    update_check_all_checkbox();
}

void SEDQ_FIND_DLG::update_find_next_button()
{
    m_find_next_button->setEnabled(!m_find_text.isEmpty() && m_find_in != 0);
}

void SEDQ_FIND_DLG::update_check_all_checkbox()
{
    m_all_check_box->setChecked(m_find_in == (m_view_mode ? VIEW_FIND_IN : OBJECT_FIND_IN));
}

void SEDQ_FIND_DLG::on_find_all_state_changed(bool checked)
{
    const int shown = m_view_mode ? BUS_NAMES + 1 : FIND_IN_BOX_COUNT;
    for (int i = 0; i < shown; ++i)
        m_find_in_check_boxes[i]->setChecked(checked);
}

void SEDQ_FIND_DLG::on_find_option_changed()
{
    m_options = 0;
    for (int i = 0; i < 3; ++i)
        if (m_option_check_boxes[i]->isChecked())
            m_options |= 1u << i;
}

void SEDQ_FIND_DLG::on_search_direction_combo_changed(int index)
{
    m_direction = index == 0   ? UIB_FIND_ENGINE::UP
                  : index == 1 ? UIB_FIND_ENGINE::DOWN
                               : UIB_FIND_ENGINE::ALL;
}

void SEDQ_FIND_DLG::reject()
{
    AFCQ_DIALOG::reject();
}

// ---- targets ---------------------------------------------------------------------------------------

void SEDQ_FIND_DLG::add_view_targets()
{
    SEDQ_TX_MANAGER* tx = m_frame != nullptr ? m_frame->get_tx_manager() : nullptr;
    if (tx == nullptr || tx->is_empty())
        return;
    SEDQ_HIERARCHY_WIDGET* hierarchy =
        m_frame->get_layout_widget() ? m_frame->get_layout_widget()->get_hierarchy_widget() : nullptr;
    SEDQ_HIDDEN_BY_HIERARCHY hidden_by_hierarchy(hierarchy);
    const int count = tx->get_node_count(SEDQ_CURRENT);
    for (int node = 0; node < count; ++node)
    {
        QString name;
        tx->get_node(node, nullptr, &name, nullptr, nullptr, nullptr, nullptr, nullptr, 0, nullptr);
        if (hidden_by_hierarchy(name.toLocal8Bit().constData()))
            continue;
        auto* target = new SEDQ_FIND_TARGET;
        target->init(m_frame, m_view, node);
        m_targets.push_back(target);
    }
}

// The canvas's roots from top to bottom, each followed by its inputs; `start` receives the
// target index the canvas's Find Next starts from.
void SEDQ_FIND_DLG::add_object_targets(SEDQ_OBJECT* start)
{
    if (m_canvas == nullptr || m_canvas->get_object_list() == nullptr)
        return;
    QList<SEDQ_OBJECT*> roots;
    for (SEDQ_OBJECT* object : *m_canvas->get_object_list())
        if (object != nullptr && object->is_root())
            roots.append(object);
    std::stable_sort(roots.begin(), roots.end(), sedq_object_compare);
    for (SEDQ_OBJECT* root : roots)
        sedq_add_object_find_targets(root, &m_targets, m_canvas, UIB_FIND_ENGINE::DIRECTION(m_direction),
                                     start, &m_target_index);
}

void SEDQ_FIND_DLG::delete_targets()
{
    for (UIB_FIND_TARGET* target : m_targets)
        delete target;
    m_targets.clear();
    m_last_result = nullptr;
}

// ---- searching -------------------------------------------------------------------------------------

bool SEDQ_FIND_DLG::can_search() const
{
    return !m_targets.empty() && !m_find_text.isEmpty() && m_find_in != 0;
}

bool SEDQ_FIND_DLG::has_previous_match() const
{
    return m_last_result != nullptr && m_target_index < m_targets.size();
}

unsigned long SEDQ_FIND_DLG::end_of_text(unsigned long index)
{
    const char* text = index < m_targets.size() ? m_targets[index]->get_text() : nullptr;
    const int length = text != nullptr ? QString::fromLocal8Bit(text).size() : 0;
    return length > 0 ? static_cast<unsigned long>(length - 1) : UIB_FIND_ENGINE::NPOS;
}

// Where Find Next goes on from the last match: down and all just past it, up from the end of
// the target above it; without a previous match from the first target's start, or up from
// the last target's end. False when nothing lies that way: a match in the first target going
// up has nothing above it.
bool SEDQ_FIND_DLG::step_past_last_match()
{
    const unsigned long count = m_targets.size();
    const bool previous = has_previous_match();
    if (m_direction != UIB_FIND_ENGINE::UP)
    {
        if (previous)
            ++m_position;
        else
            m_target_index = m_position = m_length = 0;
        return true;
    }
    if (!previous)
        m_target_index = count - 1;
    else if (m_target_index == 0)
        return false;
    else
        --m_target_index;
    m_position = end_of_text(m_target_index);
    m_length = 0;
    return true;
}

// The canvas's start: down and all at the target after the selected object's own ones (none
// after them: nothing that way), up at the target above its first one; without a selection,
// or with the selection at the top going up, from the corresponding end.
bool SEDQ_FIND_DLG::step_from_selected_object(SEDQ_OBJECT* selected)
{
    const unsigned long count = m_targets.size();
    m_length = 0;
    if (m_direction == UIB_FIND_ENGINE::UP)
    {
        const auto* first = dynamic_cast<SEDQ_OBJECT_FIND_TARGET*>(m_targets.front());
        const bool selected_first = first != nullptr && first->get_object() == selected;
        if (selected == nullptr || selected_first)
            m_target_index = count - 1;
        m_position = end_of_text(m_target_index);
        return true;
    }
    if (selected != nullptr)
        ++m_target_index;
    m_position = 0;
    return m_target_index < count;
}

void SEDQ_FIND_DLG::find_once(bool searchable)
{
    m_last_result = searchable ? m_engine.find(m_find_text.constData(), m_find_in, m_options,
                                               UIB_FIND_ENGINE::DIRECTION(m_direction), &m_target_index,
                                               &m_position, &m_length)
                               : nullptr;
}

bool SEDQ_FIND_DLG::continue_from_other_end()
{
    MSG_BASE* question = m_direction == UIB_FIND_ENGINE::UP ? MSG_SEDQ::YN::START_OF_DOCUMENT_REACHED()
                                                            : MSG_SEDQ::YN::END_OF_DOCUMENT_REACHED();
    return sedq_show_message(question) == ANSWER_YES;
}

// Once per step: a search from the other end that finds nothing has looked everywhere, so
// asking again would only go round for ever.
void SEDQ_FIND_DLG::search_from_other_end()
{
    m_last_result = nullptr;
    find_once(step_past_last_match());
}

void SEDQ_FIND_DLG::on_find_next_clicked()
{
    if (can_search())
    {
        find_once(step_past_last_match());
        if (m_last_result == nullptr && continue_from_other_end())
            search_from_other_end();
    }
    save_find_dlg_state();
}

void SEDQ_FIND_DLG::on_view_find_next()
{
    if (can_search())
    {
        find_once(step_past_last_match());
        if (m_last_result == nullptr && continue_from_other_end())
            search_from_other_end();
    }
    if (m_view != nullptr)
        m_view->get_find_position() = get_find_position();
}

void SEDQ_FIND_DLG::on_object_widget_find_next()
{
    delete_targets();
    SEDQ_OBJECT* selected = nullptr;
    if (m_canvas != nullptr && m_canvas->get_selection_count() == 1)
        selected = m_canvas->get_selected_item();
    m_target_index = 0;
    add_object_targets(selected);
    if (!can_search())
        return;
    find_once(step_from_selected_object(selected));
    if (m_last_result != nullptr)
        return;
    if (m_direction == UIB_FIND_ENGINE::UP)
        m_target_index = 0;
    if (!continue_from_other_end())
        return;
    search_from_other_end();
    save_find_dlg_state();
}
