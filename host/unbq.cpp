// Node-finder stand-in: the dialog keeps its filter and records what the library asks of it.
#include "host/unbq.h"

#include "host/standin/standin.h"
#include "host/standin/unbq_control.h"

namespace
{
int& created()
{
    static int count = 0;
    return count;
}

void reset()
{
    created() = 0;
}

const standin::reset_registrar registrar(&reset);
} // namespace

UNBQ_DIALOG::UNBQ_DIALOG(QWidget* frame, int mode) : QDialog(frame), m_mode(mode)
{
    setModal(false);
    setWindowTitle(QStringLiteral("Node Finder"));
    ++created();
    standin::record_call("unbq:UNBQ_DIALOG(" + std::to_string(mode) + ")");
}

void UNBQ_DIALOG::set_filter(const char* filter)
{
    m_filter = QString::fromUtf8(filter ? filter : "");
    setWindowTitle(QStringLiteral("Node Finder - %1").arg(m_filter));
    standin::record_call("unbq:set_filter(" + m_filter.toStdString() + ")");
}

void UNBQ_DIALOG::clear_selected_node()
{
    standin::record_call("unbq:clear_selected_node()");
}

namespace standin::unbq
{
int created_count()
{
    return created();
}
} // namespace standin::unbq
