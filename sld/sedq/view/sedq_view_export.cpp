// SEDQ_VIEW: the picture export — the whole table and the acquisition painted into one image
// as wide as a picture may be, with the view's size, scroll position and zoom given back after.
#include "sedq/view/sedq_view.h"

#include "sedq/view/sedq_image_export_option.h"

#include "host/fio.h"

#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QLayout>
#include <QPainter>
#include <QSaveFile>
#include <QScrollBar>

namespace
{
// The widest picture that is still made: image widths go up to 32767 pixels.
constexpr int MAX_IMAGE_WIDTH = 32766;

// Keeps the layout that places a widget from placing it while the guard lives. A layout placed
// its widgets again as soon as a child anywhere below it was shown, which a view made larger
// does: the picture then had the view's size on the screen instead of its own.
class LAYOUT_HOLD
{
public:
    explicit LAYOUT_HOLD(QWidget* widget)
        : m_layout(widget->parentWidget() != nullptr ? widget->parentWidget()->layout() : nullptr),
          m_was_enabled(m_layout != nullptr && m_layout->isEnabled())
    {
        if (m_layout != nullptr)
            m_layout->setEnabled(false);
    }
    ~LAYOUT_HOLD()
    {
        if (m_layout != nullptr)
            m_layout->setEnabled(m_was_enabled);
    }
    LAYOUT_HOLD(const LAYOUT_HOLD&) = delete;
    LAYOUT_HOLD& operator=(const LAYOUT_HOLD&) = delete;

private:
    QLayout* m_layout;
    bool m_was_enabled;
};
} // namespace

// Too wide a picture asks whether to keep the spacing (and show only what the view shows) or to
// fit all the data; a picture that cannot be had at all is a failed export. A target that is no
// place for a picture (a FIFO, a device, a name not valid in the local encoding) is left as it
// is, with the reason in `problem`.
bool SEDQ_VIEW::export_image(QString file, std::string* problem)
{
    std::string ignored;
    problem = problem != nullptr ? problem : &ignored;
    const std::string target = QFile::encodeName(file).toStdString();
    *problem = fio_write_target_problem(target);
    if (!problem->empty())
    {
        *problem = target + ": " + *problem;
        return false;
    }
    const int needed_width = calculate_needed_horizontal_pixels();
    const int needed_height = calculate_needed_vertical_pixels();
    int width = needed_width;
    bool fit = true;
    if (needed_width >= MAX_IMAGE_WIDTH)
    {
        SEDQ_IMAGE_EXPORT_OPTION option(this);
        if (option.exec() != QDialog::Accepted)
            return false;
        fit = option.is_force_fit();
        width = fit ? MAX_IMAGE_WIDTH - 1 : this->width();
    }
    const LAYOUT_HOLD hold(this);
    const QRect former = geometry();
    const int scroll = m_horizontal_scroll_bar->value();
    const SEDQ_DOUBLE zoom_level = m_zoom_level;
    const SEDQ_DOUBLE zoom_offset = m_zoom_offset;
    setGeometry(0, 0, width, needed_height);
    const QSize taken = size();
    if (fit)
    {
        m_horizontal_scroll_bar->setValue(0);
        m_zoom_level = 1;
        reset_fudge_factor(false);
    }
    bool saved = false;
    QImage image(taken, QImage::Format_RGB32);
    if (!image.isNull())
    {
        QPainter painter(&image);
        paint(&painter, nullptr, this, QRect(0, 0, taken.width(), taken.height()), true);
        painter.end();
        // Written whole beside the file and renamed over it: a full disk keeps the old picture.
        // Unbuffered, so that a write failing at the end is seen by the commit.
        QSaveFile out(file);
        saved = out.open(QIODevice::WriteOnly | QIODevice::Unbuffered) &&
                image.save(&out, QFileInfo(file).suffix().toLatin1().constData()) && out.commit();
        if (!saved)
            *problem = target + ": the picture cannot be written: " + out.errorString().toStdString();
    }
    else
        *problem = target + ": there is not enough memory for the picture";
    setGeometry(former);
    if (fit)
    {
        m_zoom_level = zoom_level;
        m_zoom_offset = zoom_offset;
        m_horizontal_scroll_bar->setValue(scroll);
    }
    return saved;
}
