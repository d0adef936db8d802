// SEDQ_JTAG_WIDGET: construction over the host's chain pane, the settings it binds to the
// document, its status texts, refreshes, and opening and closing the SOF Manager.
#include "sedq/frame/sedq_jtag_widget.h"

#include "sedq/frame/sedq_frame_wnd.h"
#include "sedq/frame/sedq_layout_widget.h"
#include "sedq/frame/sedq_pane_title.h"
#include "sedq/model/msg_sedq.h"
#include "sedq/model/sedq_tx_manager.h"
#include "sedq/model/sedq_types.h"
#include "sedq/model/sedq_util.h"
#include "sedq/model/sedq_verify.h"

#include <QAction>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHelpEvent>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QScrollBar>
#include <QSplitter>
#include <QStyleOptionFrame>
#include <QToolButton>
#include <QToolTip>
#include <QTreeView>
#include <QVBoxLayout>

namespace
{
constexpr int FILE_ROW = 2;
const char* const SOF_MANAGER_VISIBLE_KEY = "sof manager visible";
const char* const JTAG_WIDGET_VISIBLE_KEY = "jtag widget visible";

// A file field too narrow for its path shows it with the middle left out while the user is not
// typing in it, so both the folder's start and the file's name stay in view; its tooltip holds
// the whole path. The text is placed where the field itself would put it.
class ELIDED_FILE_FIELD : public QObject
{
public:
    explicit ELIDED_FILE_FIELD(QLineEdit* field) : QObject(field), m_field(field) { field->installEventFilter(this); }

    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() == QEvent::ToolTip && !m_field->text().isEmpty())
        {
            QToolTip::showText(static_cast<QHelpEvent*>(event)->globalPos(), m_field->text(), m_field);
            return true;
        }
        return event->type() == QEvent::Paint && !m_field->hasFocus() && paint_elided();
    }

private:
    // False when the whole text fits, and the field paints itself.
    bool paint_elided() const
    {
        constexpr int HORIZONTAL_MARGIN = 2; // a line edit's own, either side of its text
        QStyleOptionFrame option;
        option.initFrom(m_field);
        option.rect = m_field->rect();
        option.lineWidth = m_field->hasFrame() ? m_field->style()->pixelMetric(QStyle::PM_DefaultFrameWidth) : 0;
        option.midLineWidth = 0;
        option.state |= QStyle::State_Sunken;
        if (m_field->isReadOnly())
            option.state |= QStyle::State_ReadOnly;
        option.features = QStyleOptionFrame::None;
        const QRect contents = m_field->style()->subElementRect(QStyle::SE_LineEditContents, &option, m_field)
                                   .marginsRemoved(m_field->textMargins());
        const QFontMetrics metrics = m_field->fontMetrics();
        const QRect line(contents.x() + HORIZONTAL_MARGIN, contents.y() + (contents.height() - metrics.height() + 1) / 2,
                         contents.width() - 2 * HORIZONTAL_MARGIN, metrics.height());
        const QString shown = metrics.elidedText(m_field->text(), Qt::ElideMiddle, line.width());
        if (shown == m_field->text())
            return false;
        QPainter painter(m_field);
        m_field->style()->drawPrimitive(QStyle::PE_PanelLineEdit, &option, &painter, m_field);
        painter.setPen(option.palette.color(QPalette::Text));
        painter.drawText(line, Qt::AlignLeft | Qt::AlignTop, shown);
        return true;
    }

    QLineEdit* m_field;
};
} // namespace

SEDQ_JTAG_WIDGET::SEDQ_JTAG_WIDGET(QWidget* parent, SEDQ_FRAME_WND* frame)
    : SLDQ_JTAG_WIDGET(parent), m_frame(frame), m_tx(frame->get_tx_manager())
{
    set_client(SLDQ_JTAG_WIDGET::SLDQ_SEDQ);
    initialize();
    connect(m_tx, &SEDQ_TX_MANAGER::updated_later, this, &SEDQ_JTAG_WIDGET::on_update);
    m_toggle_button = new QPushButton(QStringLiteral(">>"), this);
    m_toggle_button->setToolTip(tr("Toggle the SOF Manager"));
    m_toggle_button->setFixedWidth(get_height_reference()->sizeHint().height());
    m_attach_button = new QToolButton(this);
    m_attach_button->setEnabled(false);
    m_attach_button->setIcon(afcq_get_icon(AFCQ_ICON_ATTACH));
    m_attach_button->setToolTip(tr("Attach SOF File"));
    m_table = new QTreeView(this);
    sedq_repaint_list_on_activation_as_widgets_do(m_table);
    m_table->hide();
    if (m_sof_file_edit != nullptr)
        new ELIDED_FILE_FIELD(m_sof_file_edit);
    auto* layout = qobject_cast<QVBoxLayout*>(this->layout());
    // A host pane of another shape keeps its own file row and shows no SOF Manager.
    if (SEDQ_VERIFY(layout != NULL))
    {
        if (!rebuild_file_row(layout))
        {
            m_toggle_button->hide();
            m_attach_button->hide();
        }
        make_sof_table(layout);
    }
    connect_actions();
    m_toggle_action = m_tx->get_action(AFCQ_SEDQ_JTAG_PANE_ACTION, QVariant());
    connect(m_toggle_action, &QAction::toggled, this, &SEDQ_JTAG_WIDGET::setVisible);
    connect(m_toggle_action, &QAction::toggled, this, &SEDQ_JTAG_WIDGET::on_set_visible);
    on_update(this, sedq_hint(SEDQ_UPDATE_REBUILD | SEDQ_UPDATE_JTAG));
    on_sof_manager_update_actions();
}

// Nothing here may reach the model: the window closes its document before its panes go.
SEDQ_JTAG_WIDGET::~SEDQ_JTAG_WIDGET()
{
    if (is_programming_run_pending())
        FIO_FILE_SYSTEM::remove(m_tmp_sof_path.toLocal8Bit().constData());
}

// ---- construction -------------------------------------------------------------------------------

// The host's file row becomes: toggle, "SOF Manager:", file field, attach, browse controls,
// across the whole grid.
bool SEDQ_JTAG_WIDGET::rebuild_file_row(QVBoxLayout* layout)
{
    QLayoutItem* item = layout->itemAt(2);
    QGridLayout* sub_layout = item != nullptr ? qobject_cast<QGridLayout*>(item->layout()) : nullptr;
    if (!SEDQ_VERIFY(sub_layout != NULL))
        return false;
    QLabel* label = nullptr;
    QLayout* browse = nullptr;
    if (!take_file_row(sub_layout, &label, &browse))
        return false;
    label->setText(tr("SOF Manager:"));
    auto* row = new QHBoxLayout;
    row->addWidget(m_toggle_button);
    row->addWidget(label);
    row->addWidget(m_sof_file_edit, 1);
    row->addWidget(m_attach_button);
    row->addLayout(browse);
    sub_layout->addLayout(row, FILE_ROW, 0, 1, 4);
    return true;
}

// Every part is checked before any is taken, so a pane of another shape is left whole.
bool SEDQ_JTAG_WIDGET::take_file_row(QGridLayout* grid, QLabel** label, QLayout** browse)
{
    QLayoutItem* item = grid->itemAtPosition(FILE_ROW, 2);
    if (!SEDQ_VERIFY(item != NULL))
        return false;
    QLayout* file_browse_layout = item->layout();
    if (!SEDQ_VERIFY(file_browse_layout != NULL))
        return false;
    QLayoutItem* field = grid->itemAtPosition(FILE_ROW, 1);
    item = grid->itemAtPosition(FILE_ROW, 0);
    if (!SEDQ_VERIFY(item != NULL) || !SEDQ_VERIFY(field != NULL))
        return false;
    auto* static_text_widget = qobject_cast<QLabel*>(item->widget());
    if (!SEDQ_VERIFY(static_text_widget != NULL))
        return false;
    delete grid->takeAt(grid->indexOf(static_text_widget));
    delete grid->takeAt(grid->indexOf(field));
    grid->takeAt(grid->indexOf(file_browse_layout));
    file_browse_layout->setParent(nullptr);
    *label = static_text_widget;
    *browse = file_browse_layout;
    return true;
}

// The table goes between the settings and the host's last item, which takes the room while
// the table is hidden.
void SEDQ_JTAG_WIDGET::make_sof_table(QVBoxLayout* layout)
{
    m_table->setFrameStyle(QFrame::NoFrame);
    m_table->setSelectionMode(QAbstractItemView::ExtendedSelection);
    m_table->setAllColumnsShowFocus(true);
    m_table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_table->setRootIsDecorated(false);
    // The pane starts 120 pixels high; the table must not ask for more when it opens.
    m_table->setMinimumHeight(24);
    m_table->setHeader(new SOF_TABLE_HEADER(m_table));
    m_table->setModel(&m_table_model);
    // The pane is narrow: each column takes what its names need.
    m_table->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
    connect(&m_table_model, &QStandardItemModel::itemChanged, this,
            &SEDQ_JTAG_WIDGET::on_sof_manager_item_renamed);
    connect(m_table->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            &SEDQ_JTAG_WIDGET::on_sof_manager_update_actions);
    m_table_model.set_titles({tr("Attached SOF Files")});
    QLayoutItem* last = layout->takeAt(3);
    layout->addWidget(m_table, 1);
    m_table->hide();
    if (last != nullptr)
        layout->addItem(last);
    layout->setStretch(4, 1);
}

void SEDQ_JTAG_WIDGET::connect_actions()
{
    m_table->addAction(m_tx->get_action(AFCQ_SEDQ_SOF_DELETE_ACTION, QVariant()));
    QAction* separator = sedq_get_separator_action();
    separator->setParent(m_table);
    m_table->addAction(separator);
    for (AFCQ_ACTION_ENUM id : {AFCQ_SEDQ_SOF_ATTACH_ACTION, AFCQ_SEDQ_SOF_RENAME_ACTION,
                                AFCQ_SEDQ_SOF_EXTRACT_ACTION, AFCQ_SEDQ_SOF_PROGRAM_ACTION})
        m_table->addAction(m_tx->get_action(id, QVariant()));
    m_table->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(m_table, &QTreeView::customContextMenuRequested, this,
            &SEDQ_JTAG_WIDGET::on_sof_manager_context_menu);
    connect(m_toggle_button, &QPushButton::clicked, this, &SEDQ_JTAG_WIDGET::on_sof_manager_toggle);
    connect(m_attach_button, &QToolButton::clicked, this, &SEDQ_JTAG_WIDGET::on_sof_manager_embed);
    const struct
    {
        AFCQ_ACTION_ENUM id;
        void (SEDQ_JTAG_WIDGET::*slot)();
    } commands[] = {{AFCQ_SEDQ_SOF_DELETE_ACTION, &SEDQ_JTAG_WIDGET::on_sof_manager_delete},
                    {AFCQ_SEDQ_SOF_ATTACH_ACTION, &SEDQ_JTAG_WIDGET::on_sof_manager_attach},
                    {AFCQ_SEDQ_SOF_RENAME_ACTION, &SEDQ_JTAG_WIDGET::on_sof_manager_rename},
                    {AFCQ_SEDQ_SOF_EXTRACT_ACTION, &SEDQ_JTAG_WIDGET::on_sof_manager_extract},
                    {AFCQ_SEDQ_SOF_PROGRAM_ACTION, &SEDQ_JTAG_WIDGET::on_sof_manager_program}};
    for (const auto& command : commands)
        connect(m_tx->get_action(command.id, QVariant()), &QAction::triggered, this, command.slot);
}

// ---- settings bound to the document -------------------------------------------------------------

bool SEDQ_JTAG_WIDGET::get_jtag_hardware(QString* name)
{
    return m_tx->get_jtag_hardware(name);
}

bool SEDQ_JTAG_WIDGET::get_jtag_device(QString* name)
{
    return m_tx->get_jtag_device(name);
}

bool SEDQ_JTAG_WIDGET::get_sof_file(QString* path)
{
    return m_tx->get_sof_file_name(path);
}

bool SEDQ_JTAG_WIDGET::set_jtag_hardware(QString const& name)
{
    return m_tx->set_jtag_hardware(name, m_user_change);
}

bool SEDQ_JTAG_WIDGET::set_jtag_device(QString const& name)
{
    return m_tx->set_jtag_device(name, m_user_change);
}

bool SEDQ_JTAG_WIDGET::set_sof_file(QString const& path)
{
    return m_tx->set_jtag_chain(path);
}

// ---- status texts -------------------------------------------------------------------------------

MSG_BASE* SEDQ_JTAG_WIDGET::get_ready_message()
{
    return MSG_SEDQ::I::JTAG_READY();
}

MSG_BASE* SEDQ_JTAG_WIDGET::get_running_message()
{
    return MSG_SEDQ::I::JTAG_RUNNING();
}

MSG_BASE* SEDQ_JTAG_WIDGET::get_looking_for_device_message()
{
    return MSG_SEDQ::I::JTAG_LOOKING_FOR_DEVICES();
}

MSG_BASE* SEDQ_JTAG_WIDGET::get_programming_device_message()
{
    return MSG_SEDQ::I::JTAG_PROGRAMMING_DEVICE();
}

MSG_BASE* SEDQ_JTAG_WIDGET::get_no_device_selected_message()
{
    return MSG_SEDQ::I::JTAG_NO_DEVICE_SELECTED();
}

MSG_BASE* SEDQ_JTAG_WIDGET::get_no_device_detected_message()
{
    return MSG_SEDQ::I::JTAG_NO_DEVICES_DETECTED();
}

MSG_BASE* SEDQ_JTAG_WIDGET::get_selected_device_not_found_message()
{
    return MSG_SEDQ::I::JTAG_SELECTED_DEVICE_NOT_FOUND();
}

MSG_BASE* SEDQ_JTAG_WIDGET::get_communication_error_message()
{
    return MSG_SEDQ::I::JTAG_COMMUNICATION_ERROR();
}

// ---- refreshes ----------------------------------------------------------------------------------

// Only the first kind the hint carries is handled: stopped, running, refresh, rebuild.
void SEDQ_JTAG_WIDGET::on_update(QObject*, int hint)
{
    if ((hint & SEDQ_UPDATE_JTAG) == 0)
        return;
    if ((hint & SEDQ_UPDATE_ACQUISITION_STOPPED) != 0)
        enable_controls(true);
    else if ((hint & SEDQ_UPDATE_ACQUISITION_RUNNING) != 0)
        enable_controls(false);
    else if ((hint & SEDQ_UPDATE_REFRESH) != 0)
        refresh_selectors();
    else if ((hint & SEDQ_UPDATE_REBUILD) != 0)
        fill_sof_table();
}

// While an acquisition runs the chain and the file stay as they are.
void SEDQ_JTAG_WIDGET::enable_controls(bool enable)
{
    m_hardware_combo->setEnabled(enable);
    m_device_combo->setEnabled(enable);
    m_scan_button->setEnabled(enable);
    m_browse_button->setEnabled(enable);
    if (enable)
        return enable_program_button();
    m_sof_file_edit->setEnabled(false);
    m_program_button->setEnabled(false);
}

// Selecting a stored name never writes it back: the host pane calls the setters only for the
// user's own choices, so a name missing from the list stays stored. A document without a cable
// or device shows none chosen, not the one of the document shown before.
void SEDQ_JTAG_WIDGET::refresh_selectors()
{
    QString hardware;
    QString device;
    QString file;
    get_settings(&hardware, &device, &file);
    m_hardware_combo->setCurrentIndex(
        hardware.isEmpty() ? -1 : m_hardware_combo->findText(hardware, Qt::MatchFixedString));
    m_device_combo->setCurrentIndex(device.isEmpty() ? -1 : m_device_combo->findText(device, Qt::MatchFixedString));
    m_sof_file_edit->setText(file);
    enable_program_button();
    m_attach_button->setEnabled(!file.isEmpty());
}

// ---- the SOF Manager's visibility ---------------------------------------------------------------

bool SEDQ_JTAG_WIDGET::is_sof_manager_visible() const
{
    return m_toggle_button->text() == QStringLiteral("<<");
}

// Closing gives the table's height back to the instance tabs below the top row; opening
// leaves the splitters as they are.
void SEDQ_JTAG_WIDGET::on_sof_manager_toggle()
{
    auto* layout = qobject_cast<QVBoxLayout*>(this->layout());
    if (layout == nullptr || layout->indexOf(m_table) < 0)
        return;
    if (is_sof_manager_visible())
    {
        m_toggle_button->setText(QStringLiteral(">>"));
        m_table->hide();
        move_table_height_to_tabs();
        layout->setStretch(4, 1);
        if (m_tx->get_tx_session() != nullptr)
            m_tx->set_visible_state(SOF_MANAGER_VISIBLE_KEY, false);
        return;
    }
    m_toggle_button->setText(QStringLiteral("<<"));
    m_table->show();
    layout->setStretch(4, 0);
    move_tabs_height_to_table();
    if (m_tx->get_tx_session() != nullptr)
        m_tx->set_visible_state(SOF_MANAGER_VISIBLE_KEY, true);
}

void SEDQ_JTAG_WIDGET::move_table_height_to_tabs()
{
    auto* vertical_splitter = qobject_cast<QSplitter*>(parentWidget());
    if (!SEDQ_VERIFY(vertical_splitter != NULL))
        return;
    auto* horizontal_splitter = qobject_cast<QSplitter*>(vertical_splitter->parentWidget());
    if (!SEDQ_VERIFY(horizontal_splitter != NULL))
        return;
    QList<int> sizes = horizontal_splitter->sizes();
    if (!SEDQ_VERIFY(sizes.count() >= 2))
        return;
    const int height = qMin(m_table->height(), sizes[0]);
    sizes[0] -= height;
    sizes[1] += height;
    horizontal_splitter->setSizes(sizes);
    if (auto* layout = qobject_cast<SEDQ_LAYOUT_WIDGET*>(horizontal_splitter))
        layout->on_jtag_widget_resized();
}

// The top row is only as high as the settings; opening takes from the instance tabs what the
// table needs for its header, its rows (one at least) and, when its columns are wider than the
// pane (an instance column each), the scroll bar under them, so the files show without dragging
// a splitter. Closing gives the table's height back.
void SEDQ_JTAG_WIDGET::move_tabs_height_to_table()
{
    auto* vertical_splitter = qobject_cast<QSplitter*>(parentWidget());
    auto* horizontal_splitter =
        vertical_splitter != nullptr ? qobject_cast<QSplitter*>(vertical_splitter->parentWidget()) : nullptr;
    QList<int> sizes = horizontal_splitter != nullptr ? horizontal_splitter->sizes() : QList<int>();
    if (sizes.count() < 2)
        return;
    const int row = qMax(m_table->sizeHintForRow(0), m_table->fontMetrics().height() + 4);
    const bool scrolls = m_table->header()->length() > layout()->contentsRect().width() - 2 * m_table->frameWidth();
    const int needed = m_table->header()->sizeHint().height() + qMax(1, m_table_model.rowCount()) * row +
                       2 * m_table->frameWidth() + (scrolls ? m_table->horizontalScrollBar()->sizeHint().height() : 0);
    const int height = qMin(needed, sizes[1] / 2);
    sizes[0] += height;
    sizes[1] -= height;
    horizontal_splitter->setSizes(sizes);
    if (auto* layout = qobject_cast<SEDQ_LAYOUT_WIDGET*>(horizontal_splitter))
        layout->on_jtag_widget_resized();
}

// The document keeps the choice; before a document is open there is nowhere to keep it.
void SEDQ_JTAG_WIDGET::on_set_visible(bool visible)
{
    if (m_tx->get_tx_session() != nullptr)
        m_tx->set_visible_state(JTAG_WIDGET_VISIBLE_KEY, visible);
}
