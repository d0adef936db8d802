// SEDQ_JTAG_WIDGET: construction, the SOF Manager toggle and the table of embedded files.
#include "sedq/frame/sedq_jtag_widget.h"

#include "sedq/frame/sedq_frame_wnd.h"
#include "sedq/frame/sedq_layout_widget.h"
#include "sedq/model/sedq_tx_manager.h"
#include "sedq/model/sedq_types.h"
#include "sedq/model/sedq_verify.h"

#include <QAction>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QSplitter>
#include <QStyle>
#include <QTreeView>
#include <QVBoxLayout>

namespace
{
constexpr AFCQ_ACTION_ENUM ACTION_JTAG_PANE = AFCQ_ACTION_ENUM(702);
const char* const SOF_MANAGER_VISIBLE_KEY = "sof manager visible";
const char* const JTAG_WIDGET_VISIBLE_KEY = "jtag widget visible";
} // namespace

SEDQ_JTAG_WIDGET::SEDQ_JTAG_WIDGET(QWidget* parent, SEDQ_FRAME_WND* frame)
    : QWidget(parent), m_frame(frame), m_tx(frame->get_tx_manager())
{
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    auto* row = new QHBoxLayout;
    row->setContentsMargins(7, 0, 0, 0);
    m_toggle_button = new QPushButton(QStringLiteral(">>"), this);
    m_toggle_button->setToolTip(tr("Toggle the SOF Manager"));
    m_toggle_button->setFixedWidth(m_toggle_button->sizeHint().height() + 8);
    row->addWidget(m_toggle_button);
    row->addWidget(new QLabel(tr("SOF Manager:"), this));
    row->addStretch();
    layout->addWidget(new QLabel(tr("JTAG Chain Configuration:"), this));
    layout->addLayout(row);
    m_table = new QTreeView(this);
    m_table->setFrameStyle(QFrame::NoFrame);
    m_table->setSelectionMode(QAbstractItemView::ExtendedSelection);
    m_table->setAllColumnsShowFocus(true);
    m_table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_table->setModel(&m_table_model);
    layout->addWidget(m_table, 1);
    m_table->hide();
    layout->addStretch(1);
    m_toggle_action = m_tx->get_action(ACTION_JTAG_PANE, QVariant());
    connect(m_toggle_action, SIGNAL(toggled(bool)), this, SLOT(setVisible(bool)));
    connect(m_toggle_action, SIGNAL(toggled(bool)), this, SLOT(on_set_visible(bool)));
    connect(m_toggle_button, SIGNAL(clicked(bool)), this, SLOT(on_sof_manager_toggle()));
    connect(m_tx, SIGNAL(updated(QObject*, int)), this, SLOT(on_update(QObject*, int)), Qt::QueuedConnection);
    on_update(this, sedq_hint(SEDQ_UPDATE_REBUILD | SEDQ_UPDATE_JTAG));
}

bool SEDQ_JTAG_WIDGET::is_sof_manager_visible() const
{
    return m_toggle_button->text() == QStringLiteral("<<");
}

// Closing gives the table's height back to the instance tabs below the top row; opening
// leaves the splitters as they are.
void SEDQ_JTAG_WIDGET::on_sof_manager_toggle()
{
    QVBoxLayout* layout = static_cast<QVBoxLayout*>(this->layout());
    if (is_sof_manager_visible())
    {
        m_toggle_button->setText(QStringLiteral(">>"));
        m_table->hide();
        move_table_height_to_tabs();
        layout->setStretch(3, 1);
        if (m_tx->get_tx_session() != nullptr)
            m_tx->set_visible_state(SOF_MANAGER_VISIBLE_KEY, false);
        return;
    }
    m_toggle_button->setText(QStringLiteral("<<"));
    m_table->show();
    layout->setStretch(3, 0);
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

void SEDQ_JTAG_WIDGET::on_update(QObject*, int hint)
{
    if ((hint & SEDQ_UPDATE_JTAG) != 0 && (hint & SEDQ_UPDATE_REBUILD) != 0)
        fill_sof_table();
}

// Column 0 of the SOF Manager: the embedded files in the order the session lists them.
void SEDQ_JTAG_WIDGET::fill_sof_table()
{
    m_table_model.clear();
    m_table_model.setHorizontalHeaderLabels({tr("Attached SOF Files")});
    SDR_TX_SESSION* session = m_tx->get_tx_session();
    const int count = session != nullptr ? session->get_embedded_sof_file_count() : 0;
    const QIcon icon = style()->standardIcon(QStyle::SP_FileIcon);
    for (int i = 0; i < count; ++i)
        m_table_model.appendRow(
            new QStandardItem(icon, QString::fromLocal8Bit(session->get_embedded_sof_file_name_at(i))));
}

// The document keeps the choice; before a document is open there is nowhere to keep it.
void SEDQ_JTAG_WIDGET::on_set_visible(bool visible)
{
    if (m_tx->get_tx_session() != nullptr)
        m_tx->set_visible_state(JTAG_WIDGET_VISIBLE_KEY, visible);
}
