// SEDQ_CONFIG_WIDGET: construction of the signal configuration pane, its controls and their
// wiring to each other and to the document model.
#include "sedq/frame/sedq_config_widget.h"

#include "host/afcq.h"
#include "sedq/frame/sedq_allocation_type_button_group.h"
#include "sedq/frame/sedq_config_controls.h"
#include "sedq/frame/sedq_frame_wnd.h"
#include "sedq/frame/sedq_pane_title.h"
#include "sedq/model/sedq_globals.h"
#include "sedq/model/sedq_node_allocation_if.h"
#include "sedq/model/sedq_tx_manager.h"
#include "sedq/model/sedq_types.h"
#include "sedq/model/sedq_util.h"
#include "sedq/model/sedq_verify.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QSpinBox>
#include <QVBoxLayout>

namespace
{
constexpr int MAX_NODES_ALLOCATED = 2000;
constexpr int LAST_HPS_EVENT = 27;
const int INITIAL_REFRESH = sedq_hint(SEDQ_UPDATE_REFRESH | SEDQ_UPDATE_CONFIGURATION);

// A combo item's text and its host icon (0: none).
struct ITEM
{
    const char* text;
    int icon;
};

const ITEM SAMPLE_DEPTHS[] = {{"0", 0},    {"64", 0},   {"128", 0},  {"256", 0}, {"512", 0},
                              {"1 K", 0},  {"2 K", 0},  {"4 K", 0},  {"8 K", 0}, {"16 K", 0},
                              {"32 K", 0}, {"64 K", 0}, {"128 K", 0}};
const ITEM STORAGE_QUALIFIER_TYPES[] = {
    {"Continuous", AFCQ_ICON_DONT_CARE},     {"Input port", AFCQ_ICON_INPUT_PIN},
    {"Transitional", AFCQ_ICON_EITHER_EDGE}, {"Conditional", AFCQ_ICON_CENTER_POSITION},
    {"Start/Stop", AFCQ_ICON_START_STOP},    {"State-based", AFCQ_ICON_STATE_MACHINE}};
const ITEM FLOW_CONTROLS[] = {{"Sequential", 0}, {"State-based", 0}};
const ITEM TRIGGER_POSITIONS[] = {{"Pre trigger position", AFCQ_ICON_PRE_POSITION},
                                  {"Center trigger position", AFCQ_ICON_CENTER_POSITION},
                                  {"Post trigger position", AFCQ_ICON_POST_POSITION}};
const ITEM TRIGGER_IN_PATTERNS[] = {{"Don't Care", AFCQ_ICON_DONT_CARE},
                                    {"Low", AFCQ_ICON_LOW},
                                    {"Falling Edge", AFCQ_ICON_FALLING_EDGE},
                                    {"Rising Edge", AFCQ_ICON_RISING_EDGE},
                                    {"High", AFCQ_ICON_HIGH},
                                    {"Either Edge", AFCQ_ICON_EITHER_EDGE}};
const ITEM TRIGGER_OUT_LEVELS[] = {{"Active High", AFCQ_ICON_ACTIVE_HIGH},
                                   {"Active Low", AFCQ_ICON_ACTIVE_LOW}};

template <size_t N> void add_items(QComboBox* box, const ITEM (&items)[N])
{
    for (const ITEM& item : items)
    {
        if (item.icon != 0)
            box->addItem(afcq_get_icon(AFCQ_ICON_ENUM(item.icon)), QString::fromLatin1(item.text));
        else
            box->addItem(QString::fromLatin1(item.text));
    }
}

void add_numbers(QComboBox* box, int first, int last)
{
    for (int number = first; number <= last; ++number)
        box->addItem(QString::number(number));
}

template <typename WIDGET> WIDGET* named(WIDGET* widget, const char* name)
{
    widget->setObjectName(QString::fromLatin1(name));
    return widget;
}

QHBoxLayout* make_row(std::initializer_list<std::pair<QWidget*, int>> widgets, int spacing = -1)
{
    auto* row = new QHBoxLayout;
    if (spacing >= 0)
        row->setSpacing(spacing);
    for (const auto& entry : widgets)
        row->addWidget(entry.first, entry.second);
    return row;
}

QWidget* holder(QWidget* parent, QLayout* layout)
{
    auto* widget = new QWidget(parent);
    layout->setContentsMargins(0, 0, 0, 0);
    widget->setLayout(layout);
    return widget;
}
} // namespace

SEDQ_CONFIG_WIDGET::SEDQ_CONFIG_WIDGET(QWidget* parent, int instance, SEDQ_FRAME_WND* frame)
    : QFrame(parent), m_instance(instance), m_frame(frame), m_tx_manager(frame->get_tx_manager())
{
    setFrameStyle(QFrame::Panel | QFrame::Sunken);
    QAction* toggle = m_tx_manager->get_action(AFCQ_SEDQ_CONFIG_PANE_ACTION, QVariant());
    sedq_bind_pane_toggle(this, toggle);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addLayout(
        sedq_make_pane_title_row(this, toggle, {new QLabel(tr("Signal Configuration:"), this)}));
    layout->addWidget(sedq_make_pane_rule(this));
    m_scroll_area = new QScrollArea(this);
    m_scroll_area->setFrameStyle(QFrame::NoFrame);
    m_scroll_area->setWidgetResizable(true);
    layout->addWidget(m_scroll_area, 1);
    connect(m_tx_manager, &SEDQ_TX_MANAGER::updated_later, this, &SEDQ_CONFIG_WIDGET::on_update);
}

void SEDQ_CONFIG_WIDGET::showEvent(QShowEvent* event)
{
    QFrame::showEvent(event);
    if (!m_controls_built)
    {
        m_scroll_area->setWidget(get_controls_widget());
        sedq_wheel_scrolls_the_pane(m_scroll_area->widget());
        widen_to_controls();
    }
    else if (m_refresh_pending)
        on_update(nullptr, INITIAL_REFRESH);
}

// The page's splitter gave the pane its first width before the controls existed: the pane
// asks for at least the width they need, so that none of them is cut off.
void SEDQ_CONFIG_WIDGET::widen_to_controls()
{
    QWidget* body = m_scroll_area->widget();
    if (body == nullptr)
        return;
    const int scroll_bar = m_scroll_area->verticalScrollBar()->sizeHint().width();
    m_scroll_area->setMinimumWidth(body->minimumSizeHint().width() + scroll_bar +
                                   2 * m_scroll_area->frameWidth());
}

QWidget* SEDQ_CONFIG_WIDGET::get_controls_widget()
{
    auto* body = new QWidget;
    m_controls_built = true;
    auto* layout = new QVBoxLayout(body);
    layout->addLayout(make_clock_row(body));
    layout->addWidget(make_data_group(body));
    layout->addWidget(make_trigger_group(body));
    layout->addStretch();
    wire_controls();
    connect_to_manager();
    refresh_all();
    return body;
}

// ---- building ----------------------------------------------------------------------------------

QPushButton* SEDQ_CONFIG_WIDGET::make_browse_button(QWidget* parent)
{
    auto* button = new QPushButton(QStringLiteral("..."), parent);
    button->setFixedWidth(button->sizeHint().width());
    return button;
}

QLayout* SEDQ_CONFIG_WIDGET::make_clock_row(QWidget* parent)
{
    m_clock_edit = named(new SEDQ_LINE_EDIT(parent), "clock_edit");
    m_clock_button = named(make_browse_button(parent), "clock_button");
    QHBoxLayout* joined = make_row({{m_clock_edit, 1}, {m_clock_button, 0}}, 0);
    QHBoxLayout* row = make_row({{new QLabel(tr("Clock:"), parent), 0}}, 6);
    row->addLayout(joined, 1);
    return row;
}

QLayout* SEDQ_CONFIG_WIDGET::make_allocation_row(QWidget* parent, SEDQ_NODE_ALLOCATION_IF* allocation,
                                                 ALLOCATION_ROW* row)
{
    row->auto_button = new QRadioButton(tr("Auto"), parent);
    row->manual_button = new QRadioButton(tr("Manual:"), parent);
    row->spin_box = new QSpinBox(parent);
    row->spin_box->setRange(1, MAX_NODES_ALLOCATED);
    row->spin_box->setEnabled(allocation->getNodesAllocated() != 0);
    row->group = new SEDQ_ALLOCATION_TYPE_BUTTON_GROUP(allocation, this);
    row->group->addButton(row->auto_button, SEDQ_ALLOCATION_TYPE_BUTTON_GROUP::AUTO_ID);
    row->group->addButton(row->manual_button, SEDQ_ALLOCATION_TYPE_BUTTON_GROUP::MANUAL_ID);
    row->group->setSpinBox(row->spin_box);
    return make_row({{new QLabel(tr("Nodes Allocated:"), parent), 0},
                     {row->auto_button, 0},
                     {row->manual_button, 0},
                     {row->spin_box, 1}});
}

QGroupBox* SEDQ_CONFIG_WIDGET::make_data_group(QWidget* parent)
{
    auto* group = named(new QGroupBox(tr("Data"), parent), "data_group");
    auto* layout = new QVBoxLayout(group);
    m_sample_depth_combo = named(new SEDQ_SAMPLE_DEPTH_COMBO_BOX(group), "sample_depth_combo");
    m_ram_type_combo = named(new QComboBox(group), "ram_type_combo");
    layout->addLayout(make_row({{new QLabel(tr("Sample depth:"), group), 0},
                                {m_sample_depth_combo, 1},
                                {new QLabel(tr("RAM type:"), group), 0},
                                {m_ram_type_combo, 1}}));
    m_segmented_check = named(new QCheckBox(tr("Segmented:"), group), "segmented_check");
    m_segment_combo = named(new SEDQ_SEGMENT_COMBO_BOX(group), "segment_combo");
    layout->addLayout(make_row({{m_segmented_check, 0}, {m_segment_combo, 1}}));
    layout->addLayout(
        make_allocation_row(group, new SEDQ_DATA_NODE_ALLOCATION(m_tx_manager), &m_data_allocation));
    m_data_allocation.spin_box->setObjectName(QStringLiteral("data_allocation_spin_box"));
    m_pipeline_combo = named(new QComboBox(group), "pipeline_combo");
    add_numbers(m_pipeline_combo, 0, 5);
    layout->addLayout(make_row({{new QLabel(tr("Pipeline Factor:"), group), 0}, {m_pipeline_combo, 1}}));
    layout->addWidget(make_storage_qualifier_group(group));
    return group;
}

QGroupBox* SEDQ_CONFIG_WIDGET::make_storage_qualifier_group(QWidget* parent)
{
    auto* group = named(new QGroupBox(tr("Storage qualifier:"), parent), "storage_qualifier_group");
    auto* grid = new QGridLayout(group);
    grid->setColumnStretch(1, 1);
    m_sq_type_combo = named(new SEDQ_STORAGE_COMBO_BOX(group), "storage_qualifier_type_combo");
    grid->addWidget(new QLabel(tr("Type:"), group), 0, 0);
    grid->addWidget(m_sq_type_combo, 0, 1);
    m_sq_input_edit = named(new SEDQ_LINE_EDIT(group), "storage_qualifier_input_edit");
    m_sq_input_button = named(make_browse_button(group), "storage_qualifier_input_button");
    grid->addWidget(new QLabel(tr("Input port:"), group), 1, 0);
    grid->addWidget(holder(group, make_row({{m_sq_input_edit, 1}, {m_sq_input_button, 0}}, 0)), 1, 1);
    grid->addWidget(
        holder(group, make_allocation_row(group, new SEDQ_STORAGE_QUALIFIER_NODE_ALLOCATION(m_tx_manager),
                                          &m_sq_allocation)),
        2, 0, 1, 2);
    m_sq_allocation.spin_box->setObjectName(QStringLiteral("storage_qualifier_allocation_spin_box"));
    m_discontinuities_check =
        named(new QCheckBox(tr("Record data discontinuities"), group), "discontinuities_check");
    grid->addWidget(m_discontinuities_check, 3, 0, 1, 2);
    m_disable_sq_check =
        named(new QCheckBox(tr("Disable storage qualifier"), group), "disable_storage_qualifier_check");
    grid->addWidget(m_disable_sq_check, 4, 0, 1, 2);
    return group;
}

QGroupBox* SEDQ_CONFIG_WIDGET::make_trigger_group(QWidget* parent)
{
    auto* group = named(new QGroupBox(tr("Trigger"), parent), "trigger_group");
    auto* grid = new QGridLayout(group);
    grid->setColumnStretch(1, 1);
    grid->addWidget(holder(group, make_allocation_row(group, new SEDQ_TRIGGER_NODE_ALLOCATION(m_tx_manager),
                                                      &m_trigger_allocation)),
                    0, 0, 1, 2);
    m_trigger_allocation.spin_box->setObjectName(QStringLiteral("trigger_allocation_spin_box"));
    m_flow_combo = named(new QComboBox(group), "trigger_flow_combo");
    m_position_combo = named(new QComboBox(group), "trigger_position_combo");
    m_level_combo = named(new QComboBox(group), "trigger_conditions_combo");
    add_numbers(m_level_combo, 1, 10);
    grid->addWidget(new QLabel(tr("Trigger flow control:"), group), 1, 0);
    grid->addWidget(m_flow_combo, 1, 1);
    grid->addWidget(new QLabel(tr("Trigger position:"), group), 2, 0);
    grid->addWidget(m_position_combo, 2, 1);
    grid->addWidget(new QLabel(tr("Trigger conditions:"), group), 3, 0);
    grid->addWidget(m_level_combo, 3, 1);
    grid->addWidget(make_trigger_in_group(group), 4, 0, 1, 2);
    grid->addWidget(make_trigger_out_group(group), 5, 0, 1, 2);
    return group;
}

QGroupBox* SEDQ_CONFIG_WIDGET::make_trigger_in_group(QWidget* parent)
{
    m_trigger_in_group = named(new QGroupBox(tr("Trigger in"), parent), "trigger_in_group");
    m_trigger_in_group->setCheckable(true);
    m_trigger_in_group->setChecked(false);
    auto* grid = new QGridLayout(m_trigger_in_group);
    grid->setColumnStretch(1, 1);
    QWidget* box = m_trigger_in_group;
    m_in_pin_radio = named(new QRadioButton(tr("Pin:"), box), "trigger_in_pin_radio");
    m_in_node_radio = named(new QRadioButton(tr("Node:"), box), "trigger_in_node_radio");
    m_in_instance_radio = named(new QRadioButton(tr("Instance:"), box), "trigger_in_instance_radio");
    m_in_hps_radio =
        named(new QRadioButton(tr("Hard Processor System (HPS) trigger out"), box), "trigger_in_hps_radio");
    m_trigger_in_sources = new QButtonGroup(this);
    m_trigger_in_sources->addButton(m_in_pin_radio, SDR_IOSRC_PIN);
    m_trigger_in_sources->addButton(m_in_node_radio, SDR_IOSRC_NODE);
    m_trigger_in_sources->addButton(m_in_instance_radio, SDR_IOSRC_INSTANCE);
    m_trigger_in_sources->addButton(m_in_hps_radio, SDR_IOSRC_HPS_TRIGGER_OUT);
    m_in_pin_edit = named(new SEDQ_LINE_EDIT(box), "trigger_in_pin_edit");
    m_in_node_edit = named(new SEDQ_LINE_EDIT(box), "trigger_in_node_edit");
    m_in_node_button = named(make_browse_button(box), "trigger_in_node_button");
    m_in_instance_combo = named(new SEDQ_INSTANCE_COMBO_BOX(box), "trigger_in_instance_combo");
    m_in_pattern_combo = named(new QComboBox(box), "trigger_in_pattern_combo");
    add_items(m_in_pattern_combo, TRIGGER_IN_PATTERNS);
    grid->addWidget(m_in_pin_radio, 0, 0);
    grid->addWidget(m_in_pin_edit, 0, 1);
    grid->addWidget(m_in_node_radio, 1, 0);
    grid->addWidget(holder(box, make_row({{m_in_node_edit, 1}, {m_in_node_button, 0}}, 0)), 1, 1);
    grid->addWidget(m_in_instance_radio, 2, 0);
    grid->addWidget(m_in_instance_combo, 2, 1);
    grid->addWidget(m_in_hps_radio, 3, 0, 1, 2);
    grid->addWidget(new QLabel(tr("Pattern:"), box), 4, 0);
    grid->addWidget(m_in_pattern_combo, 4, 1);
    return m_trigger_in_group;
}

QGroupBox* SEDQ_CONFIG_WIDGET::make_trigger_out_group(QWidget* parent)
{
    m_trigger_out_group = named(new QGroupBox(tr("Trigger out"), parent), "trigger_out_group");
    m_trigger_out_group->setCheckable(true);
    m_trigger_out_group->setChecked(false);
    auto* grid = new QGridLayout(m_trigger_out_group);
    grid->setColumnStretch(1, 1);
    grid->setColumnStretch(2, 1);
    QWidget* box = m_trigger_out_group;
    m_out_pin_check = named(new QCheckBox(tr("Pin:"), box), "trigger_out_pin_check");
    m_out_pin_edit = named(new SEDQ_LINE_EDIT(box), "trigger_out_pin_edit");
    m_out_instance_check = named(new QCheckBox(tr("Instance:"), box), "trigger_out_instance_check");
    m_out_instance_combo = named(new SEDQ_INSTANCE_COMBO_BOX(box), "trigger_out_instance_combo");
    m_out_hps_trigger_in_check = named(new QCheckBox(tr("Hard Processor System (HPS) trigger in"), box),
                                       "trigger_out_hps_trigger_in_check");
    m_out_hps_event_check =
        named(new QCheckBox(tr("Hard Processor System (HPS) event:"), box), "trigger_out_hps_event_check");
    m_out_hps_event_combo = named(new QComboBox(box), "trigger_out_hps_event_combo");
    add_numbers(m_out_hps_event_combo, 0, LAST_HPS_EVENT);
    m_out_level_combo = named(new QComboBox(box), "trigger_out_level_combo");
    add_items(m_out_level_combo, TRIGGER_OUT_LEVELS);
    m_latency_edit = named(new QLineEdit(box), "trigger_out_latency_edit");
    m_latency_edit->setReadOnly(true);
    m_latency_edit->setPalette(SEDQ_GREY_BASE_PALETTE);
    grid->addWidget(m_out_pin_check, 0, 0);
    grid->addWidget(m_out_pin_edit, 0, 1, 1, 2);
    grid->addWidget(m_out_instance_check, 1, 0);
    grid->addWidget(m_out_instance_combo, 1, 1, 1, 2);
    grid->addWidget(m_out_hps_trigger_in_check, 2, 0, 1, 3);
    grid->addWidget(m_out_hps_event_check, 3, 0, 1, 2);
    grid->addWidget(m_out_hps_event_combo, 3, 2);
    grid->addWidget(new QLabel(tr("Level:"), box), 4, 0, 1, 2);
    grid->addWidget(m_out_level_combo, 4, 2);
    grid->addWidget(new QLabel(tr("Latency delay:"), box), 5, 0, 1, 2);
    grid->addWidget(m_latency_edit, 5, 2);
    return m_trigger_out_group;
}

// ---- wiring ------------------------------------------------------------------------------------

// How the controls follow each other. The lists that depend on the sample depth are filled
// only after this wiring, so that the first depth already sets them up.
void SEDQ_CONFIG_WIDGET::wire_controls()
{
    connect(m_sample_depth_combo, qOverload<int>(&QComboBox::currentIndexChanged), m_sample_depth_combo,
            &SEDQ_SAMPLE_DEPTH_COMBO_BOX::current_index_changed);
    connect(m_sample_depth_combo, &SEDQ_SAMPLE_DEPTH_COMBO_BOX::zero_sample_depth_selected, m_segmented_check,
            &QCheckBox::setChecked);
    connect(m_segmented_check, &QCheckBox::toggled, m_segment_combo, &SEDQ_SEGMENT_COMBO_BOX::setEnabled);
    connect(m_segmented_check, &QCheckBox::toggled, m_sq_type_combo, &SEDQ_STORAGE_COMBO_BOX::setDisabled);
    connect(m_sq_type_combo, sedq_combo_text_changed(), m_sq_type_combo,
            &SEDQ_STORAGE_COMBO_BOX::current_index_changed);
    connect(m_sq_type_combo, &SEDQ_STORAGE_COMBO_BOX::input_port_selected, m_sq_input_edit,
            &QWidget::setEnabled);
    connect(m_sq_type_combo, &SEDQ_STORAGE_COMBO_BOX::input_port_selected, m_sq_input_button,
            &QWidget::setEnabled);
    connect(m_sq_type_combo, &SEDQ_STORAGE_COMBO_BOX::storage_qualifier_selected, m_discontinuities_check,
            &QWidget::setEnabled);
    connect(m_sq_type_combo, &SEDQ_STORAGE_COMBO_BOX::storage_qualifier_selected, m_disable_sq_check,
            &QWidget::setEnabled);
    connect(m_sample_depth_combo, qOverload<int>(&QComboBox::currentIndexChanged), m_segment_combo,
            &SEDQ_SEGMENT_COMBO_BOX::sample_depth_changed);
    for (QWidget* follower :
         {static_cast<QWidget*>(m_ram_type_combo), static_cast<QWidget*>(m_segmented_check),
          static_cast<QWidget*>(m_position_combo)})
        connect(m_sample_depth_combo, &SEDQ_SAMPLE_DEPTH_COMBO_BOX::sample_depth_selected, follower,
                &QWidget::setEnabled);
    connect(m_sample_depth_combo, &SEDQ_SAMPLE_DEPTH_COMBO_BOX::sample_depth_selected, this,
            &SEDQ_CONFIG_WIDGET::set_enabled_property_sq_combo);
    for (const ALLOCATION_ROW* row : {&m_data_allocation, &m_sq_allocation, &m_trigger_allocation})
        connect(row->group, &QButtonGroup::idClicked, row->group,
                &SEDQ_ALLOCATION_TYPE_BUTTON_GROUP::rbuttonclicked);

    add_items(m_sample_depth_combo, SAMPLE_DEPTHS);
    m_sample_depth_combo->setCurrentIndex(0);
    add_items(m_sq_type_combo, STORAGE_QUALIFIER_TYPES);
    add_items(m_flow_combo, FLOW_CONTROLS);
    add_items(m_position_combo, TRIGGER_POSITIONS);
}

// A control's signal wired to the model's setter for it.
template <typename SENDER, typename SIGNAL_FN, typename SLOT_FN>
void SEDQ_CONFIG_WIDGET::connect_control(SENDER* sender, SIGNAL_FN signal, SLOT_FN slot)
{
    if (!connect(sender, signal, m_tx_manager, slot))
        SEDQ_REPORT("connect_control");
}

void SEDQ_CONFIG_WIDGET::connect_to_manager()
{
    // Three setters take a second argument with a default: the fields give only the text.
    SEDQ_TX_MANAGER* tx = m_tx_manager;
    connect_control(m_clock_edit, &SEDQ_LINE_EDIT::editing_finished,
                    [tx](const QString& clock) { tx->set_clock(clock); });
    connect_control(m_clock_button, &QPushButton::clicked, &SEDQ_TX_MANAGER::browse_clock);
    connect_control(m_sample_depth_combo, sedq_combo_text_changed(), &SEDQ_TX_MANAGER::set_sample_depth);
    connect_control(m_ram_type_combo, sedq_combo_text_changed(), &SEDQ_TX_MANAGER::set_ram_type);
    connect_control(m_segmented_check, &QCheckBox::clicked, &SEDQ_TX_MANAGER::set_segmented_acquisition_mode);
    connect_control(m_segment_combo, sedq_combo_text_changed(), &SEDQ_TX_MANAGER::set_number_of_segments);
    connect_control(m_data_allocation.spin_box, qOverload<int>(&QSpinBox::valueChanged),
                    &SEDQ_TX_MANAGER::data_manual_input_changed);
    connect_control(m_pipeline_combo, sedq_combo_text_changed(), &SEDQ_TX_MANAGER::set_pipeline_level);
    connect_control(m_sq_type_combo, sedq_combo_text_changed(), &SEDQ_TX_MANAGER::set_storage_qualifier_type);
    connect_control(m_sq_input_edit, &SEDQ_LINE_EDIT::editing_finished,
                    [tx](const QString& name) { tx->set_storage_qualifier_input_port(name); });
    connect_control(m_sq_input_button, &QPushButton::clicked,
                    &SEDQ_TX_MANAGER::browse_storage_qualifier_input_port);
    connect_control(m_sq_allocation.spin_box, qOverload<int>(&QSpinBox::valueChanged),
                    &SEDQ_TX_MANAGER::storage_qualifier_manual_input_changed);
    connect_control(m_discontinuities_check, &QCheckBox::clicked,
                    &SEDQ_TX_MANAGER::enable_data_discontinuities);
    connect_control(m_disable_sq_check, &QCheckBox::clicked, &SEDQ_TX_MANAGER::disable_storage_qualifier);
    connect_control(m_trigger_allocation.spin_box, qOverload<int>(&QSpinBox::valueChanged),
                    &SEDQ_TX_MANAGER::trigger_manual_input_changed);
    connect_control(m_flow_combo, sedq_combo_text_changed(), &SEDQ_TX_MANAGER::set_trigger_flow_control);
    connect_control(m_position_combo, sedq_combo_text_changed(), &SEDQ_TX_MANAGER::set_trigger_position);
    connect_control(m_level_combo, sedq_combo_text_changed(), &SEDQ_TX_MANAGER::set_trigger_level);
    connect_control(m_trigger_in_group, &QGroupBox::clicked, &SEDQ_TX_MANAGER::enable_trigger_in);
    connect_control(m_trigger_in_sources, &QButtonGroup::idClicked,
                    qOverload<int>(&SEDQ_TX_MANAGER::set_trigger_in_source));
    connect_control(m_in_pin_edit, &SEDQ_LINE_EDIT::editing_finished, &SEDQ_TX_MANAGER::set_trigger_in_pin);
    connect_control(m_in_node_edit, &SEDQ_LINE_EDIT::editing_finished,
                    [tx](const QString& node) { tx->set_trigger_in_node(node); });
    connect_control(m_in_node_button, &QPushButton::clicked, &SEDQ_TX_MANAGER::browse_trigger_in);
    connect_control(m_in_instance_combo, sedq_combo_text_changed(),
                    &SEDQ_TX_MANAGER::set_trigger_in_instance);
    connect_control(m_in_pattern_combo, sedq_combo_text_changed(),
                    &SEDQ_TX_MANAGER::set_trigger_in_condition);
    connect_control(m_trigger_out_group, &QGroupBox::clicked, &SEDQ_TX_MANAGER::enable_trigger_out);
    connect_control(m_out_pin_check, &QCheckBox::clicked, &SEDQ_TX_MANAGER::set_trigger_out_pin_selected);
    connect_control(m_out_pin_edit, &SEDQ_LINE_EDIT::textEdited, &SEDQ_TX_MANAGER::set_trigger_out_pin);
    connect_control(m_out_instance_check, &QCheckBox::clicked,
                    &SEDQ_TX_MANAGER::set_trigger_out_instance_selected);
    connect_control(m_out_instance_combo, sedq_combo_text_changed(),
                    &SEDQ_TX_MANAGER::set_trigger_out_instance);
    connect_control(m_out_hps_trigger_in_check, &QCheckBox::clicked,
                    &SEDQ_TX_MANAGER::set_trigger_out_hps_trigger_in_selected);
    connect_control(m_out_hps_event_check, &QCheckBox::clicked,
                    &SEDQ_TX_MANAGER::set_trigger_out_hps_event_selected);
    connect_control(m_out_hps_event_combo, sedq_combo_text_changed(),
                    &SEDQ_TX_MANAGER::set_trigger_out_hps_event_index);
    connect_control(m_out_level_combo, sedq_combo_text_changed(),
                    &SEDQ_TX_MANAGER::set_trigger_out_condition);
    // The same signal as the model's, connected after it, so the model has the new depth by then.
    connect(m_sample_depth_combo, sedq_combo_text_changed(), this,
            &SEDQ_CONFIG_WIDGET::on_sample_depth_chosen);
}
