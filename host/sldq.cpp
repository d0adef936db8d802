// The JTAG chain pane stand-in: selectors filled from the simulated chain, a status line that
// follows it, the programming-file row, and programming the simulated device from the file the
// client names, with the result reported after a short delay as the host's programmer does.
#include "host/sldq.h"

#include "host/afcq.h"
#include "host/chi_private.h"
#include "host/msg.h"
#include "host/standin/sldq_control.h"
#include "host/standin/standin.h"

#include <QComboBox>
#include <QEvent>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>

#include <algorithm>
#include <cstdio>
#include <memory>

namespace
{
struct pane_state
{
    std::vector<unsigned int> view_updates;
    bool fail_programming = false;
    int program_delay_ms = 300;
    standin::sldq::missing_part missing = standin::sldq::missing_part::none;
};

pane_state& state()
{
    static pane_state s;
    return s;
}

void reset()
{
    state() = pane_state();
}

const standin::reset_registrar registrar(&reset);

// What a scan of one cable finds.
struct chain_scan
{
    bool cable_listed = false;
    bool comm_error = false;
    std::vector<std::string> devices;
};

chain_scan scan_chain(const QString& hardware)
{
    const chi_detail::chain_config& chain = chi_detail::chain();
    const std::string name = hardware.toLocal8Bit().toStdString();
    standin::record_call("sldq:scan(\"" + name + "\")");
    chain_scan scan;
    scan.cable_listed = std::find(chain.hardware.begin(), chain.hardware.end(), name) != chain.hardware.end();
    scan.comm_error = scan.cable_listed && (!chain.connected || chi_detail::cable_unplugged().load());
    if (scan.cable_listed && !scan.comm_error)
        scan.devices = chain.devices;
    return scan;
}

bool listed(const std::vector<std::string>& names, const QString& name)
{
    return std::find(names.begin(), names.end(), name.toLocal8Bit().toStdString()) != names.end();
}

// Loads the programming file into the device on the named chain; false with the reason.
bool program_device(const QString& hardware, const QString& device, const QString& file, std::string* reason)
{
    if (file.isEmpty())
    {
        *reason = "no programming file is named";
        return false;
    }
    if (chi_detail::chain_error(hardware.toLocal8Bit().toStdString(), device.toLocal8Bit().toStdString()) != 0 ||
        device.isEmpty())
    {
        *reason = "the device \"" + device.toLocal8Bit().toStdString() + "\" cannot be reached on \"" +
                  hardware.toLocal8Bit().toStdString() + "\"";
        return false;
    }
    std::vector<chi_detail::sof_instance> instances;
    if (!chi_detail::read_sof(file.toLocal8Bit().toStdString(), &instances, reason))
        return false;
    if (state().fail_programming)
    {
        *reason = "the device did not accept the programming file";
        return false;
    }
    chi_detail::program_device(instances);
    return true;
}

void post_error(const std::string& reason)
{
    MSG_E message;
    message.fill_args("Cannot program the device: %1!s!/ESLDQ_PROGRAMMING_FAILED", reason.c_str());
    message.post();
}
} // namespace

SLDQ_JTAG_WIDGET::SLDQ_JTAG_WIDGET(QWidget* parent) : QWidget(parent)
{
    build_layout();
    m_hardware_combo->installEventFilter(this);
    connect(m_hardware_combo, qOverload<int>(&QComboBox::activated), this,
            &SLDQ_JTAG_WIDGET::on_hardware_activated);
    connect(m_hardware_combo, qOverload<int>(&QComboBox::currentIndexChanged), this,
            &SLDQ_JTAG_WIDGET::on_hardware_changed);
    connect(m_device_combo, qOverload<int>(&QComboBox::activated), this,
            &SLDQ_JTAG_WIDGET::on_device_activated);
    connect(m_sof_file_edit, &QLineEdit::editingFinished, this, &SLDQ_JTAG_WIDGET::on_sof_file_edited);
    connect(m_browse_button, &QToolButton::clicked, this, &SLDQ_JTAG_WIDGET::on_browse);
    connect(m_scan_button, &QPushButton::clicked, this, &SLDQ_JTAG_WIDGET::on_scan_chain);
    connect(m_program_button, &QPushButton::clicked, this, &SLDQ_JTAG_WIDGET::on_program);
}

SLDQ_JTAG_WIDGET::~SLDQ_JTAG_WIDGET() = default;

// Title and status, a rule, the settings grid, and a stretch that takes the rest.
void SLDQ_JTAG_WIDGET::build_layout()
{
    const standin::sldq::missing_part missing = state().missing;
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(2);
    auto* title = new QHBoxLayout;
    title->setContentsMargins(7, 0, 4, 0);
    title->addWidget(new QLabel(tr("JTAG Chain Configuration:"), this));
    m_status_label = new QLabel(this);
    m_status_label->setObjectName("jtag_status");
    // A long status text is cut rather than widening the pane.
    m_status_label->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    m_status_label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    title->addWidget(m_status_label, 1);
    layout->addLayout(title);
    auto* rule = new QFrame(this);
    rule->setFrameStyle(QFrame::HLine | QFrame::Sunken);
    rule->setMaximumHeight(1);
    layout->addWidget(rule);

    m_hardware_combo = new QComboBox(this);
    m_device_combo = new QComboBox(this);
    for (QComboBox* combo : {m_hardware_combo, m_device_combo})
    {
        combo->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
        combo->setMinimumContentsLength(8);
    }
    m_scan_button = new QPushButton(tr("Scan Chain"), this);
    m_sof_file_edit = new QLineEdit(this);
    m_browse_button = new QToolButton(this);
    m_browse_button->setText(QStringLiteral("..."));
    m_browse_button->setToolTip(tr("Select Programming File"));
    m_program_button = new QPushButton(tr("Program"), this);
    m_program_button->setToolTip(tr("Program Device"));
    const std::pair<QWidget*, const char*> names[] = {
        {m_hardware_combo, "jtag_hardware"}, {m_device_combo, "jtag_device"},   {m_scan_button, "jtag_scan"},
        {m_sof_file_edit, "jtag_sof_file"},  {m_browse_button, "jtag_browse"}, {m_program_button, "jtag_program"}};
    for (const auto& [widget, name] : names)
        widget->setObjectName(name);
    auto* browse = new QHBoxLayout;
    browse->setSpacing(2);
    browse->addWidget(m_browse_button);
    browse->addWidget(m_program_button);

    QLayout* settings = missing == standin::sldq::missing_part::settings_grid ? static_cast<QLayout*>(new QHBoxLayout)
                                                                               : new QGridLayout;
    if (auto* grid = qobject_cast<QGridLayout*>(settings))
    {
        grid->setContentsMargins(7, 0, 4, 0);
        grid->setVerticalSpacing(2);
        grid->addWidget(new QLabel(tr("Hardware:"), this), 0, 0);
        grid->addWidget(m_hardware_combo, 0, 1);
        grid->addWidget(m_scan_button, 0, 2);
        grid->addWidget(new QLabel(tr("Device:"), this), 1, 0);
        grid->addWidget(m_device_combo, 1, 1, 1, 2);
        if (missing != standin::sldq::missing_part::file_label)
            grid->addWidget(new QLabel(tr("File:"), this), 2, 0);
        grid->addWidget(m_sof_file_edit, 2, 1);
        if (missing != standin::sldq::missing_part::browse_controls)
            grid->addLayout(browse, 2, 2);
        grid->setColumnStretch(1, 1);
    }
    else
    {
        for (QWidget* widget : {static_cast<QWidget*>(m_hardware_combo), static_cast<QWidget*>(m_device_combo),
                                static_cast<QWidget*>(m_scan_button), static_cast<QWidget*>(m_sof_file_edit)})
            settings->addWidget(widget);
        static_cast<QHBoxLayout*>(settings)->addLayout(browse);
    }
    if (missing == standin::sldq::missing_part::browse_controls)
        static_cast<QGridLayout*>(settings)->addLayout(browse, 3, 2);
    layout->addLayout(settings);
    layout->addStretch(1);
}

void SLDQ_JTAG_WIDGET::initialize()
{
    fill_hardware();
    QString file;
    get_sof_file(&file);
    m_sof_file_edit->setText(file);
    enable_program_button();
    update_status();
}

QString SLDQ_JTAG_WIDGET::get_status_text() const
{
    return m_status_label->text();
}

QWidget* SLDQ_JTAG_WIDGET::get_height_reference() const
{
    return m_sof_file_edit;
}

// ---- selectors ----------------------------------------------------------------------------------

void SLDQ_JTAG_WIDGET::fill_hardware()
{
    m_filling = true;
    m_hardware_combo->clear();
    for (const std::string& name : chi_detail::chain().hardware)
        m_hardware_combo->addItem(QString::fromLocal8Bit(name.c_str()));
    m_filling = false;
    QString stored;
    get_jtag_hardware(&stored);
    select_stored(m_hardware_combo, stored);
    fill_devices();
}

// The devices the chosen cable's chain holds; the stored device stays chosen when it is there.
void SLDQ_JTAG_WIDGET::fill_devices()
{
    report(VIEW_CHANGED | VIEW_SCANNING);
    show_message(get_looking_for_device_message());
    const chain_scan scan = scan_chain(m_hardware_combo->currentText());
    m_filling = true;
    m_device_combo->clear();
    for (const std::string& name : scan.devices)
        m_device_combo->addItem(QString::fromLocal8Bit(name.c_str()));
    m_filling = false;
    QString stored;
    get_jtag_device(&stored);
    select_stored(m_device_combo, stored);
    update_status();
    report(VIEW_CHANGED);
}

// A stored name that the list lacks shows nothing chosen; the stored name itself stays.
void SLDQ_JTAG_WIDGET::select_stored(QComboBox* combo, const QString& name)
{
    combo->setCurrentIndex(name.isEmpty() ? -1 : combo->findText(name, Qt::MatchFixedString));
}

void SLDQ_JTAG_WIDGET::on_hardware_changed(int)
{
    if (!m_filling)
        fill_devices();
}

void SLDQ_JTAG_WIDGET::on_hardware_activated(int index)
{
    if (index < 0)
        return;
    m_user_change = true;
    set_jtag_hardware(m_hardware_combo->itemText(index));
    // A cable chosen for a document without a device takes the first device of its chain.
    QString device;
    get_jtag_device(&device);
    if (device.isEmpty() && m_device_combo->count() > 0)
    {
        m_device_combo->setCurrentIndex(0);
        on_device_activated(0);
    }
    enable_program_button();
    update_status();
}

void SLDQ_JTAG_WIDGET::on_device_activated(int index)
{
    if (index < 0)
        return;
    m_user_change = true;
    set_jtag_device(m_device_combo->itemText(index));
    enable_program_button();
    update_status();
    report(VIEW_CHANGED);
}

void SLDQ_JTAG_WIDGET::on_scan_chain()
{
    fill_hardware();
}

// ---- programming file ---------------------------------------------------------------------------

void SLDQ_JTAG_WIDGET::on_sof_file_edited()
{
    QString stored;
    get_sof_file(&stored);
    if (m_sof_file_edit->text() != stored)
        set_sof_file(m_sof_file_edit->text());
    enable_program_button();
}

void SLDQ_JTAG_WIDGET::on_browse()
{
    AFCQ_FILE_DLG dialog(this);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setNameFilters({tr("SRAM Object File (*.sof)"), tr("All Files (*)")});
    dialog.setWindowTitle(tr("Select Programming File"));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return;
    m_sof_file_edit->setText(dialog.selectedFiles().first());
    set_sof_file(m_sof_file_edit->text());
    enable_program_button();
}

void SLDQ_JTAG_WIDGET::get_settings(QString* hardware, QString* device, QString* file)
{
    get_jtag_hardware(hardware);
    get_jtag_device(device);
    get_sof_file(file);
}

void SLDQ_JTAG_WIDGET::enable_program_button()
{
    QString file;
    QString hardware;
    QString device;
    get_settings(&hardware, &device, &file);
    const bool row_enabled = m_browse_button->isEnabledTo(this);
    m_sof_file_edit->setEnabled(row_enabled);
    m_program_button->setEnabled(row_enabled && !m_programming && !file.isEmpty() && !hardware.isEmpty() &&
                                 !device.isEmpty());
    update_status();
}

// ---- programming --------------------------------------------------------------------------------

// The file is read and loaded when programming starts; the result is told after the delay
// the host's programmer takes, so the client may remove a file it made for the run as soon as
// the run has started.
void SLDQ_JTAG_WIDGET::on_program()
{
    if (m_programming)
        return;
    QString hardware;
    QString device;
    QString file;
    get_settings(&hardware, &device, &file);
    m_programming = true;
    enable_program_button();
    update_status();
    report(VIEW_CHANGED | VIEW_PROGRAMMING);
    std::string reason;
    const bool ok = program_device(hardware, device, file, &reason);
    standin::record_call("sldq:program(\"" + file.toLocal8Bit().toStdString() + "\"," + (ok ? "1" : "0") + ")");
    if (!ok)
        post_error(reason);
    QTimer::singleShot(state().program_delay_ms, this, [this, ok]() { finish_programming(ok); });
}

void SLDQ_JTAG_WIDGET::finish_programming(bool ok)
{
    m_programming = false;
    enable_program_button();
    update_status();
    report(ok ? VIEW_CHANGED | VIEW_PROGRAMMED : VIEW_CHANGED);
}

// ---- status line --------------------------------------------------------------------------------

// The first that applies: programming, an acquisition (the client disabled the selectors), no
// cable, a cable the host does not have, a broken chain, an empty chain, no device, a device
// the chain lacks; otherwise ready.
void SLDQ_JTAG_WIDGET::update_status()
{
    if (m_programming)
        return show_message(get_programming_device_message());
    if (!m_hardware_combo->isEnabledTo(this))
        return show_message(get_running_message());
    QString hardware;
    QString device;
    get_jtag_hardware(&hardware);
    get_jtag_device(&device);
    if (hardware.isEmpty())
        return show_message(get_no_device_selected_message());
    const chain_scan scan = scan_chain(hardware);
    if (!scan.cable_listed || (!scan.comm_error && scan.devices.empty()))
        return show_message(get_no_device_detected_message());
    if (scan.comm_error)
        return show_message(get_communication_error_message());
    if (device.isEmpty())
        return show_message(get_no_device_selected_message());
    if (!listed(scan.devices, device))
        return show_message(get_selected_device_not_found_message());
    show_message(get_ready_message());
}

void SLDQ_JTAG_WIDGET::show_message(MSG_BASE* message)
{
    std::unique_ptr<MSG_BASE> owned(message);
    m_status_label->setText(owned != nullptr ? QString::fromLocal8Bit(owned->text()) : QString());
}

// A client that disables the selectors while it acquires sees its running text.
bool SLDQ_JTAG_WIDGET::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_hardware_combo && event->type() == QEvent::EnabledChange)
        update_status();
    return QWidget::eventFilter(watched, event);
}

// ---- what a pane without a client does ----------------------------------------------------------

bool SLDQ_JTAG_WIDGET::set_sof_file(QString const& path)
{
    return !path.isEmpty();
}

bool SLDQ_JTAG_WIDGET::get_sof_file(QString* path)
{
    path->clear();
    return false;
}

bool SLDQ_JTAG_WIDGET::get_jtag_device(QString* name)
{
    name->clear();
    return false;
}

bool SLDQ_JTAG_WIDGET::get_jtag_hardware(QString* name)
{
    name->clear();
    return false;
}

bool SLDQ_JTAG_WIDGET::set_jtag_hardware(QString const& name)
{
    return !name.isEmpty();
}

bool SLDQ_JTAG_WIDGET::set_jtag_device(QString const& name)
{
    return !name.isEmpty();
}

void SLDQ_JTAG_WIDGET::on_view_updated(unsigned int)
{
}

void SLDQ_JTAG_WIDGET::report(unsigned int flags)
{
    state().view_updates.push_back(flags);
    char text[32];
    std::snprintf(text, sizeof text, "0x%x", flags);
    standin::record_call(std::string("sldq:on_view_updated(") + text + ")");
    on_view_updated(flags);
}

MSG_BASE* SLDQ_JTAG_WIDGET::get_ready_message()
{
    return nullptr;
}

MSG_BASE* SLDQ_JTAG_WIDGET::get_running_message()
{
    return nullptr;
}

MSG_BASE* SLDQ_JTAG_WIDGET::get_looking_for_device_message()
{
    return nullptr;
}

MSG_BASE* SLDQ_JTAG_WIDGET::get_programming_device_message()
{
    return nullptr;
}

MSG_BASE* SLDQ_JTAG_WIDGET::get_no_device_selected_message()
{
    return nullptr;
}

MSG_BASE* SLDQ_JTAG_WIDGET::get_no_device_detected_message()
{
    return nullptr;
}

MSG_BASE* SLDQ_JTAG_WIDGET::get_selected_device_not_found_message()
{
    return nullptr;
}

MSG_BASE* SLDQ_JTAG_WIDGET::get_communication_error_message()
{
    return nullptr;
}

// ---- test seams ---------------------------------------------------------------------------------

namespace standin::sldq
{
std::vector<unsigned int> view_updates()
{
    return state().view_updates;
}

void clear_view_updates()
{
    state().view_updates.clear();
}

void fail_programming(bool fail)
{
    state().fail_programming = fail;
}

void set_program_delay_ms(int ms)
{
    state().program_delay_ms = ms < 0 ? 0 : ms;
}

void build_without(missing_part part)
{
    state().missing = part;
}
} // namespace standin::sldq
