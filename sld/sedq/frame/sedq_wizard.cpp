// SEDQ_WIZARD: the reserved session, the document over it, the embedded frame and the saving.
#include "sedq/frame/sedq_wizard.h"

#include "sedq/advanced_trigger/sedq_object_widget.h"
#include "sedq/advanced_trigger/sedq_operator_widget.h"
#include "sedq/advanced_trigger/sedq_session_object.h"
#include "sedq/model/sedq_edit_scope.h"
#include "sedq/model/sedq_tx_manager.h"
#include "sedq/model/sedq_types.h"
#include "sedq/model/sedq_verify.h"
#include "sedq/view/sedq_view.h"

#include <QFrame>
#include <QSplitter>
#include <QStackedLayout>
#include <QTimer>

#include <algorithm>

namespace
{
constexpr const char* RESERVED_SESSION_NAME = "sld_reserved_hdl_session";
constexpr int LIBRARY_WIDTH = 211;
constexpr int ARRANGE_DELAY_MS = 10;

// A sunken panel that shows one widget.
QFrame* framed(QWidget* content)
{
    auto* frame = new QFrame;
    frame->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    auto* layout = new QStackedLayout(frame);
    layout->addWidget(content);
    return frame;
}
} // namespace

SEDQ_WIZARD::SEDQ_WIZARD() = default;

// The host normally takes frame and document down itself; whatever it left goes here, frame first.
SEDQ_WIZARD::~SEDQ_WIZARD()
{
    destroy_frame();
    destroy_document();
}

// The reserved session of an earlier wizard is closed first, so one session of that name
// exists. A document open over the current session keeps it: closing it would pull it from
// under the document.
SDR_DATA_TRIGGER* SEDQ_WIZARD::create_session()
{
    if (!SEDQ_VERIFY(this->m_tx_session == NULL))
        return nullptr;
    const SEDQ_TX_MANAGER::WIZARD_SESSION made = SEDQ_TX_MANAGER::create_wizard_session(RESERVED_SESSION_NAME);
    m_data_session = made.session;
    m_data_instance = made.instance;
    m_signal_set = made.signal_set;
    m_trigger = made.trigger;
    return m_trigger;
}

// The document adopts the editing session; closing it later leaves the session to this facade.
bool SEDQ_WIZARD::create_document()
{
    if (!SEDQ_VERIFY(this->m_data_session != NULL) || !SEDQ_VERIFY(this->m_tx_manager == NULL))
        return false;
    m_tx_session = new SDR_TX_SESSION(new SEDQ_SESSION_OBJECT(), true);
    if (!SEDQ_TX_MANAGER::open_wizard_session(m_tx_session, m_data_session))
    {
        delete m_tx_session;
        m_tx_session = nullptr;
        return false;
    }
    m_tx_manager = new SEDQ_TX_MANAGER(nullptr);
    return m_tx_manager->open_document(m_tx_session);
}

void SEDQ_WIZARD::create_frame(QWidget* parent)
{
    if (!SEDQ_VERIFY(parent != NULL) || document() == nullptr)
        return;
    if (m_stacked_layout.isNull())
        build_frame();
    m_object_widget->on_update(nullptr, SEDQ_UPDATE_TRIGGER_CANVAS);
    parent->setLayout(m_stacked_layout);
}

// Node list above the object library on the left, the canvas on the right; both panes follow
// the document like the window's do.
void SEDQ_WIZARD::build_frame()
{
    m_stacked_layout = new QStackedLayout;
    m_horizontal_splitter = new QSplitter(Qt::Horizontal);
    m_vertical_splitter = new QSplitter(Qt::Vertical);
    m_view = new SEDQ_VIEW(nullptr, m_tx_manager);
    m_operator_widget = new SEDQ_OPERATOR_WIDGET(nullptr);
    m_object_widget = new SEDQ_OBJECT_WIDGET(nullptr, m_tx_manager);
    m_vertical_splitter->addWidget(framed(m_view));
    m_vertical_splitter->addWidget(m_operator_widget);
    m_horizontal_splitter->addWidget(m_vertical_splitter);
    m_horizontal_splitter->addWidget(framed(m_object_widget));
    m_stacked_layout->addWidget(m_horizontal_splitter);
    QObject::connect(m_tx_manager, &SEDQ_TX_MANAGER::updated_later, m_view, &SEDQ_VIEW::on_update);
    QObject::connect(m_tx_manager, &SEDQ_TX_MANAGER::updated_later, m_object_widget, &SEDQ_OBJECT_WIDGET::on_update);
}

// Node list and library share the height; the library column is a fixed width beside the canvas.
void SEDQ_WIZARD::resize_frame()
{
    if (m_stacked_layout.isNull())
        return;
    QList<int> sizes = m_vertical_splitter->sizes();
    if (!SEDQ_VERIFY(sizes.count() == 2))
        return;
    const int half = (sizes[0] + sizes[1]) / 2;
    m_vertical_splitter->setSizes({half, half});
    sizes = m_horizontal_splitter->sizes();
    if (!SEDQ_VERIFY(sizes.count() == 2))
        return;
    m_horizontal_splitter->setSizes({LIBRARY_WIDTH, qMax(0, sizes[0] + sizes[1] - LIBRARY_WIDTH)});
    m_horizontal_splitter->refresh();
    QTimer::singleShot(ARRANGE_DELAY_MS, m_object_widget, &SEDQ_OBJECT_WIDGET::on_edit_arrange_all_objects);
}

bool SEDQ_WIZARD::save_document(char const* path)
{
    if (!SEDQ_VERIFY(this->m_tx_session != NULL) || !SEDQ_VERIFY(path != NULL))
        return false;
    return m_tx_session->save_session(path);
}

// Deleting the page deletes the splitters, frames, node list, library and canvas with it.
void SEDQ_WIZARD::destroy_frame()
{
    if (m_stacked_layout.isNull())
    {
        clear_frame_members();
        return;
    }
    QWidget* widget = m_stacked_layout->widget(0);
    if (SEDQ_VERIFY(widget != NULL))
        delete widget;
    delete m_stacked_layout.data();
    m_stacked_layout = nullptr;
    clear_frame_members();
}

void SEDQ_WIZARD::clear_frame_members()
{
    m_horizontal_splitter = nullptr;
    m_vertical_splitter = nullptr;
    m_view = nullptr;
    m_operator_widget = nullptr;
    m_object_widget = nullptr;
}

// The panes read the document to the end, so a frame still standing goes before it.
void SEDQ_WIZARD::destroy_document()
{
    if (!m_stacked_layout.isNull())
        destroy_frame();
    m_edit.reset();
    m_edit_depth = 0;
    if (m_tx_manager != nullptr)
    {
        m_tx_manager->close_document();
        delete m_tx_manager;
        m_tx_manager = nullptr;
    }
    if (m_tx_session != nullptr)
    {
        SEDQ_TX_MANAGER::close_wizard_session(m_tx_session);
        delete m_tx_session;
        m_tx_session = nullptr;
    }
    // Closing the editing session took the reserved session, and the parse trees of its
    // trigger, with it.
    m_data_session = nullptr;
    m_data_instance = nullptr;
    m_signal_set = nullptr;
    m_trigger = nullptr;
    std::fill(std::begin(m_roots), std::end(m_roots), nullptr);
}

// ---- preconditions ----------------------------------------------------------------------------

SEDQ_TX_MANAGER* SEDQ_WIZARD::document()
{
    SEDQ_VERIFY(this->m_tx_manager != NULL);
    return m_tx_manager;
}

// The trigger of the open document on the data side; null without one.
SDR_DATA_TRIGGER* SEDQ_WIZARD::data_trigger()
{
    if (document() == nullptr || m_tx_manager->is_empty())
        return nullptr;
    SDR_TX_TRIGGER* trigger = m_tx_session != nullptr ? m_tx_session->get_trigger_at(0, false) : nullptr;
    return trigger != nullptr ? trigger->get_data_trigger() : nullptr;
}

bool SEDQ_WIZARD::is_level(int level)
{
    return SEDQ_VERIFY(level >= 0 && level < MAX_LEVELS);
}
