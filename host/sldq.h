#pragma once
// Host JTAG chain pane: the JTAG hardware and the device on its chain, the programming file
// with a browse button, programming the device, and a status line. A client derives from it:
// the pane keeps no settings of its own, it reads and writes them through the virtual getters
// and setters, and it takes its status texts from the client's message getters.
//
// Layout the clients rely on: a QVBoxLayout whose item 2 is the settings grid (row 0 hardware,
// row 1 device, row 2 the programming-file label in column 0, the file field in column 1 and
// the browse controls, a layout, in column 2), followed by a stretchable item 3.

#include <QString>
#include <QWidget>

class MSG_BASE;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QToolButton;

class SLDQ_JTAG_WIDGET : public QWidget
{
    Q_OBJECT
public:
    // Who embeds the pane.
    enum CLIENT : int
    {
        SLDQ_NONE = 0,
        SLDQ_SEDQ = 1
    };

    // Bits of on_view_updated: 0x1 the pane's state changed; 0x10 programming started (the
    // chain is in use); 0x40 a chain scan is under way; 0x400 programming succeeded.
    enum VIEW_UPDATE : unsigned int
    {
        VIEW_CHANGED = 0x1,
        VIEW_PROGRAMMING = 0x10,
        VIEW_SCANNING = 0x40,
        VIEW_PROGRAMMED = 0x400
    };

    explicit SLDQ_JTAG_WIDGET(QWidget* parent);
    ~SLDQ_JTAG_WIDGET() override;

    void set_client(int client) { m_client = client; }
    int get_client() const { return m_client; }

    // Fills the selectors from the chain and the client's settings and scans the chain; the
    // client calls it once its getters can answer.
    void initialize();
    // The program button is enabled while the file row is enabled, no programming runs and the
    // client names a programming file, hardware and a device; the status line is read again.
    void enable_program_button();
    bool is_programming() const { return m_programming; }
    // The client's hardware, device and programming file, through its getters.
    void get_settings(QString* hardware, QString* device, QString* file);
    QString get_status_text() const;
    // The control whose height the client's buttons in the file row match.
    QWidget* get_height_reference() const;

    // The client's settings. The pane calls the setters only for changes the user makes, never
    // while it selects stored names itself.
    virtual bool set_sof_file(QString const& path);
    virtual bool get_sof_file(QString* path);
    virtual bool get_jtag_device(QString* name);
    virtual bool get_jtag_hardware(QString* name);
    virtual bool set_jtag_hardware(QString const& name);
    virtual bool set_jtag_device(QString const& name);
    // The pane's state changed (bits above).
    virtual void on_view_updated(unsigned int flags);
    // Status texts; the pane owns and deletes what they return.
    virtual MSG_BASE* get_ready_message();
    virtual MSG_BASE* get_running_message();
    virtual MSG_BASE* get_looking_for_device_message();
    virtual MSG_BASE* get_programming_device_message();
    virtual MSG_BASE* get_no_device_selected_message();
    virtual MSG_BASE* get_no_device_detected_message();
    virtual MSG_BASE* get_selected_device_not_found_message();
    virtual MSG_BASE* get_communication_error_message();

public Q_SLOTS:
    // Programs the device from the client's programming file; the result comes later through
    // on_view_updated.
    void on_program();
    // Lists the cables again and scans the chain of the chosen one.
    void on_scan_chain();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

    QComboBox* m_hardware_combo = nullptr;
    QComboBox* m_device_combo = nullptr;
    QLineEdit* m_sof_file_edit = nullptr;
    QToolButton* m_browse_button = nullptr;
    QPushButton* m_scan_button = nullptr;
    QPushButton* m_program_button = nullptr;
    // Passed to the hardware and device setters: set when the user made the change.
    bool m_user_change = true;

private Q_SLOTS:
    void on_hardware_activated(int index);
    void on_hardware_changed(int index);
    void on_device_activated(int index);
    void on_sof_file_edited();
    void on_browse();

private:
    void build_layout();
    void fill_hardware();
    void fill_devices();
    void select_stored(QComboBox* combo, const QString& name);
    void update_status();
    void show_message(MSG_BASE* message);
    // Tells the client (and the record) that the pane's state changed.
    void report(unsigned int flags);
    void finish_programming(bool ok);

    int m_client = SLDQ_NONE;
    bool m_programming = false;
    bool m_filling = false;
    QLabel* m_status_label = nullptr;
};
