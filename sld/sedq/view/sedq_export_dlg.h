#pragma once
// "Export": writes the data log the view shows to a file another tool reads — comma separated
// values, a table file or a value change dump through the host's data exporter, or a BMP or
// JPEG picture painted by the view. The dialog stays open on a clock period it cannot use;
// once it has closed, the export runs and its outcome is reported in a message box.

#include "host/afcq.h"
#include "host/big_time.h"
#include "host/sli.h"

#include <QString>

class QComboBox;
class QDialogButtonBox;
class QFrame;
class QLabel;
class QLineEdit;
class SDR_DATA_LOG;
class SEDQ_FRAME_WND;
class SEDQ_TX_MANAGER;

class SEDQ_EXPORT_DLG : public AFCQ_DIALOG
{
    Q_OBJECT
public:
    SEDQ_EXPORT_DLG(const SDR_DATA_LOG* log, SEDQ_FRAME_WND* frame, QWidget* parent, SEDQ_TX_MANAGER* tx);

    void common_init();

    AFCQ_LINE_EDIT_BROWSE_BUTTON* get_file_widget() const { return m_file_edit; }
    QComboBox* get_format_combo() const { return m_format_combo; }
    QLineEdit* get_clock_edit() const { return m_clock_edit; }
    QLineEdit* get_period_edit() const { return m_period_edit; }
    QComboBox* get_unit_combo() const { return m_unit_combo; }
    QLabel* get_description_label() const { return m_description; }
    double get_clock_period() const { return m_clock_period; }

    // The file a session's export proposes: the analyzer file's path with `extension` in place
    // of its own; nothing for a session without a name.
    static QString proposed_file_name(QString const& session_name, QString const& extension);
    // A period in the unit of combo index `unit_index` brought into the range the dialog takes
    // by moving to a smaller or larger unit (a frequency out of range becomes a period); false
    // when it cannot be.
    static bool proposed_period(double* period, int* unit_index);
    // The typed name with `extension` as its own: an extension typed in the file's name (not in
    // its folders) is cut there, so "trace.csv.bak" exports to "trace.csv".
    static QString export_file_name(QString const& typed, QString const& extension);
    // Picoseconds per sample of a period in the unit of combo index `unit_index`, truncated;
    // `unit` gets the unit's code.
    static long long clock_interval(double period, int unit_index, BIG_TIME::TIME_UNIT* unit);
    // Extension and exporter format (may be null) of format combo index `index`; another index
    // is a table file.
    static QString format_extension(int index, SLI_DATA_LOG_EXPORTER_OUTPUT_FORMAT* format);

public Q_SLOTS:
    void export_format_combo_changed(int index);
    void accept() override;

private:
    void make_widgets();
    void lay_out_widgets();
    void propose_known_period();
    bool export_to(QString const& file, int format_index, std::string* problem);

    SEDQ_TX_MANAGER* m_tx_manager;
    const SDR_DATA_LOG* m_log;
    double m_clock_period = 0.0;
    SEDQ_FRAME_WND* m_frame;
    QLabel* m_description = nullptr;
    QFrame* m_separator = nullptr;
    QLabel* m_file_label = nullptr;
    AFCQ_LINE_EDIT_BROWSE_BUTTON* m_file_edit = nullptr;
    QLabel* m_format_label = nullptr;
    QComboBox* m_format_combo = nullptr;
    QLabel* m_clock_label = nullptr;
    QLineEdit* m_clock_edit = nullptr;
    QLabel* m_period_label = nullptr;
    QLineEdit* m_period_edit = nullptr;
    QComboBox* m_unit_combo = nullptr;
    QDialogButtonBox* m_button_box = nullptr;
};
