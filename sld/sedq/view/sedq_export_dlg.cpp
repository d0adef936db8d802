// SEDQ_EXPORT_DLG: the widgets and defaults of the export dialog, the file name and clock
// interval it derives from them, and the export run when it is accepted.
#include "sedq/view/sedq_export_dlg.h"

#include "host/sdr.h"
#include "host/sdr/sdr_tx_session.h"
#include "sedq/frame/sedq_frame_wnd.h"
#include "sedq/frame/sedq_layout_widget.h"
#include "sedq/model/msg_sedq.h"
#include "sedq/model/sedq_globals.h"
#include "sedq/model/sedq_tx_manager.h"
#include "sedq/model/sedq_util.h"
#include "sedq/model/sedq_verify.h"
#include "sedq/view/sedq_view.h"
#include "sedq/view/sedq_waveform_export_data.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFile>
#include <QFileSystemModel>
#include <QFrame>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>

#include <cmath>

namespace
{
const struct
{
    const char* text;
    const char* extension;
    SLI_DATA_LOG_EXPORTER_OUTPUT_FORMAT format;
} FORMATS[] = {{"Comma Separated Values - (*.csv)", ".csv", SLI_OUTPUT_FORMAT_CSV},
               {"Table File - (*.tbl)", ".tbl", SLI_OUTPUT_FORMAT_TBL},
               {"Value Change Dump - (*.vcd)", ".vcd", SLI_OUTPUT_FORMAT_VCD},
               {"BMP Image File - (*.bmp)", ".bmp", SLI_OUTPUT_FORMAT_BMP},
               {"JPEG Image File - (*.jpg)", ".jpg", SLI_OUTPUT_FORMAT_JPG}};

const struct
{
    const char* text;
    BIG_TIME::TIME_UNIT unit;
    double picoseconds; // per unit of the period; 0 for a frequency
} UNITS[] = {{"s", BIG_TIME::S, 1e12},  {"ms", BIG_TIME::MS, 1e9}, {"us", BIG_TIME::US, 1e6},
             {"ns", BIG_TIME::NS, 1e3}, {"ps", BIG_TIME::PS, 1.0}, {"MHz", BIG_TIME::MHZ, 0.0}};

constexpr int MICROSECOND_UNIT = 2;
constexpr int PS_UNIT = 4;
constexpr double MIN_PERIOD = 1.0;
constexpr double MAX_PERIOD = 10000.0;

bool is_image_format(int index)
{
    return index == 3 || index == 4;
}

// Where the folders of a path end: after its last "/", or its last "\" when it has no "/".
int base_name_start(QString const& path)
{
    int separator = path.lastIndexOf(QLatin1Char('/'));
    if (separator < 0)
        separator = path.lastIndexOf(QLatin1Char('\\'));
    return separator + 1;
}
} // namespace

SEDQ_EXPORT_DLG::SEDQ_EXPORT_DLG(const SDR_DATA_LOG* log, SEDQ_FRAME_WND* frame, QWidget* parent, SEDQ_TX_MANAGER* tx)
    : AFCQ_DIALOG(parent), m_tx_manager(tx), m_log(log), m_frame(frame)
{
    setWindowTitle(QStringLiteral("Export"));
    make_widgets();
    lay_out_widgets();
    connect(m_button_box, &QDialogButtonBox::accepted, this, &SEDQ_EXPORT_DLG::accept);
    connect(m_button_box, &QDialogButtonBox::rejected, this, &SEDQ_EXPORT_DLG::reject);
    connect(m_button_box, &QDialogButtonBox::helpRequested, this, &AFCQ_DIALOG::help_button_clicked);
    connect(m_format_combo, QOverload<int>::of(&QComboBox::currentIndexChanged), this,
            &SEDQ_EXPORT_DLG::export_format_combo_changed);
    common_init();
}

void SEDQ_EXPORT_DLG::make_widgets()
{
    m_description = new QLabel(tr("Specify settings for exporting Vantrel waveform data"), this);
    m_separator = new QFrame(this);
    m_separator->setFrameShape(QFrame::HLine);
    m_separator->setFrameShadow(QFrame::Sunken);
    m_file_label = new QLabel(QStringLiteral("File name: "), this);
    m_file_edit = new AFCQ_LINE_EDIT_BROWSE_BUTTON(this);
    const QStringList filters = {QStringLiteral("Export Types(*.csv;*.tbl;*.vcd;*.bmp;*.jpg)"),
                                 QStringLiteral("All Files(*.*)")};
    m_file_edit->set_filters(filters);
    m_file_edit->set_name_filters(filters);
    m_file_edit->set_save_mode(true);
    m_format_label = new QLabel(QStringLiteral("Export format: "), this);
    m_format_combo = new QComboBox(this);
    for (const auto& format : FORMATS)
        m_format_combo->addItem(QString::fromLatin1(format.text));
    m_clock_label = new QLabel(QStringLiteral("Clock signal: "), this);
    m_clock_edit = new QLineEdit(this);
    m_clock_edit->setReadOnly(true);
    m_clock_edit->setPalette(SEDQ_GREY_BASE_PALETTE);
    m_period_label = new QLabel(QStringLiteral("Clock period: "), this);
    m_period_edit = new QLineEdit(this);
    m_unit_combo = new QComboBox(this);
    for (const auto& unit : UNITS)
        m_unit_combo->addItem(QString::fromLatin1(unit.text));
    m_button_box =
        new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel | QDialogButtonBox::Help, this);
}

void SEDQ_EXPORT_DLG::lay_out_widgets()
{
    auto* grid = new QGridLayout(this);
    grid->addWidget(m_description, 0, 0, 1, 3);
    grid->addWidget(m_separator, 1, 0, 1, 3);
    grid->addWidget(m_file_label, 2, 0, 1, 1);
    grid->addWidget(m_file_edit, 2, 1, 1, 2);
    grid->addWidget(m_format_label, 3, 0, 1, 1);
    grid->addWidget(m_format_combo, 3, 1, 1, 2);
    grid->addWidget(m_clock_label, 4, 0, 1, 1);
    grid->addWidget(m_clock_edit, 4, 1, 1, 2);
    grid->addWidget(m_period_label, 5, 0, 1, 1);
    grid->addWidget(m_period_edit, 5, 1, 1, 1);
    grid->addWidget(m_unit_combo, 5, 2, 1, 1);
    grid->addWidget(m_button_box, 6, 1, 1, 2);
}

void SEDQ_EXPORT_DLG::common_init()
{
    QString session_name;
    const SDR_TX_SESSION* session = m_tx_manager != nullptr ? m_tx_manager->get_tx_session() : nullptr;
    if (const SDR_DATA_SESSION* data = session != nullptr ? session->get_data_session() : nullptr)
        session_name = QString::fromLocal8Bit(data->get_name());
    m_file_edit->get_line_edit()->setText(proposed_file_name(session_name, format_extension(0, nullptr)));
    const SDR_DATA_SIGNAL_SET* signal_set = m_log != nullptr ? m_log->get_signal_set() : nullptr;
    const char* clock = signal_set != nullptr ? signal_set->get_clock_name() : nullptr;
    m_clock_edit->setText(clock != nullptr ? QString::fromLocal8Bit(clock) : QString());
    m_format_combo->setCurrentIndex(0);
    m_unit_combo->setCurrentIndex(0);
    m_period_edit->setText(QStringLiteral("1"));
    propose_known_period();
    export_format_combo_changed(0);
}

// The document keeps no clock period of its own; the one it knows is the sample period the
// user gave the time axis of this window's view, which is the period of the instance's clock.
void SEDQ_EXPORT_DLG::propose_known_period()
{
    SEDQ_LAYOUT_WIDGET* layout = m_frame != nullptr ? m_frame->get_layout_widget() : nullptr;
    SEDQ_VIEW* view = layout != nullptr ? layout->get_view() : nullptr;
    if (view == nullptr || !view->is_show_time())
        return;
    double period = view->get_time_unit_value();
    int unit = m_unit_combo->findText(view->get_time_unit_text());
    if (proposed_period(&period, &unit))
    {
        m_period_edit->setText(QString::number(period, 'g', 12));
        m_unit_combo->setCurrentIndex(unit);
    }
}

bool SEDQ_EXPORT_DLG::proposed_period(double* period, int* unit_index)
{
    if (*unit_index < 0 || *unit_index >= int(std::size(UNITS)) || !std::isfinite(*period) || *period <= 0.0)
        return false;
    if (UNITS[*unit_index].picoseconds == 0.0)
    {
        if (*period >= MIN_PERIOD && *period <= MAX_PERIOD)
            return true;
        // A frequency outside the range is taken as its period, 1/f microseconds.
        *period = 1.0 / *period;
        *unit_index = MICROSECOND_UNIT;
    }
    while (*period < MIN_PERIOD && *unit_index < PS_UNIT)
    {
        *period *= 1000.0;
        ++*unit_index;
    }
    while (*period > MAX_PERIOD && *unit_index > 0)
    {
        *period /= 1000.0;
        --*unit_index;
    }
    return *period >= MIN_PERIOD && *period <= MAX_PERIOD;
}

QString SEDQ_EXPORT_DLG::proposed_file_name(QString const& session_name, QString const& extension)
{
    if (session_name.isEmpty())
        return session_name;
    const int start = base_name_start(session_name);
    QString name = session_name;
    const int dot = name.lastIndexOf(QLatin1Char('.'));
    if (dot >= start)
        name.truncate(dot);
    return name + extension;
}

QString SEDQ_EXPORT_DLG::export_file_name(QString const& typed, QString const& extension)
{
    const int start = base_name_start(typed);
    QString name = typed;
    const int found = name.indexOf(extension, start, Qt::CaseSensitive);
    if (found >= 0)
        name.truncate(found);
    return name + extension;
}

long long SEDQ_EXPORT_DLG::clock_interval(double period, int unit_index, BIG_TIME::TIME_UNIT* unit)
{
    if (unit_index < 0 || unit_index >= int(std::size(UNITS)))
        unit_index = PS_UNIT;
    *unit = UNITS[unit_index].unit;
    const double per_unit = UNITS[unit_index].picoseconds;
    const double interval = per_unit > 0.0 ? period * per_unit : 1000000.0 / period;
    return static_cast<long long>(interval);
}

QString SEDQ_EXPORT_DLG::format_extension(int index, SLI_DATA_LOG_EXPORTER_OUTPUT_FORMAT* format)
{
    if (index < 0 || index >= int(std::size(FORMATS)))
        index = 1;
    if (format != nullptr)
        *format = FORMATS[index].format;
    return QString::fromLatin1(FORMATS[index].extension);
}

// A name that ends in the extension of another format takes the chosen format's.
void SEDQ_EXPORT_DLG::export_format_combo_changed(int index)
{
    QLineEdit* file = m_file_edit->get_line_edit();
    const QString extension = format_extension(index, nullptr);
    for (const auto& format : FORMATS)
    {
        const QString other = QString::fromLatin1(format.extension);
        if (other != extension && file->text().endsWith(other))
            file->setText(file->text().left(file->text().size() - other.size()) + extension);
    }
    const bool timed = !is_image_format(index);
    m_period_edit->setEnabled(timed);
    m_unit_combo->setEnabled(timed);
}

// A period the exporter cannot use keeps the dialog open; the images take none.
void SEDQ_EXPORT_DLG::accept()
{
    const int format_index = m_format_combo->currentIndex();
    bool number = false;
    const double period = m_period_edit->text().toDouble(&number);
    if (!is_image_format(format_index) && !(number && period >= MIN_PERIOD && period <= MAX_PERIOD))
    {
        sedq_show_message(MSG_SEDQ::O::VALUE_OUT_OF_RANGE("1", "10000"));
        m_period_edit->setFocus();
        m_period_edit->selectAll();
        return;
    }
    m_clock_period = number ? period : 0.0;
    QDialog::accept();
    const SDR_DATA_SIGNAL_SET* signal_set = m_log != nullptr ? m_log->get_signal_set() : nullptr;
    const QString file =
        export_file_name(m_file_edit->get_line_edit()->text(), format_extension(format_index, nullptr));
    std::string problem;
    if (SEDQ_VERIFY(signal_set != NULL) && export_to(file, format_index, &problem))
        sedq_show_message(MSG_SEDQ::O::SUCCESSFUL_EXPORT(file.toLocal8Bit().toStdString()));
    else if (!problem.empty())
        sedq_show_message(MSG_SEDQ::O::EXPORT_NOT_WRITTEN(file.toLocal8Bit().toStdString()), problem);
    else
        sedq_show_message(MSG_SEDQ::O::FAILED_EXPORT());
}

// False with `problem` set when the file could not be written, and without when there was
// nothing to export.
bool SEDQ_EXPORT_DLG::export_to(QString const& file, int format_index, std::string* problem)
{
    SLI_DATA_LOG_EXPORTER_OUTPUT_FORMAT format = SLI_OUTPUT_FORMAT_TBL;
    format_extension(format_index, &format);
    SEDQ_WAVEFORM_EXPORT_DATA data;
    data.set_filename(file.toLocal8Bit().constData());
    data.set_type(format);
    if (is_image_format(format_index))
    {
        SEDQ_LAYOUT_WIDGET* layout = m_frame != nullptr ? m_frame->get_layout_widget() : nullptr;
        SEDQ_VIEW* view = layout != nullptr ? layout->get_view() : nullptr;
        return view != nullptr && view->export_image(file, problem);
    }
    BIG_TIME::TIME_UNIT unit = BIG_TIME::PS;
    data.set_clock_interval(clock_interval(m_clock_period, m_unit_combo->currentIndex(), &unit));
    data.set_time_unit(unit);
    if (m_tx_manager != nullptr)
        m_tx_manager->commit_session();
    AFCQ_WAIT_CURSOR wait;
    const bool written = data.create_vector_database(m_log);
    *problem = data.get_write_problem();
    return written;
}
