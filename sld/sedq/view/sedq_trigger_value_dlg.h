#pragma once
// The bus value dialog: a value of `width` bits typed in a radix chosen from a list, converted
// whenever the radix changes. "Insert Value" hands the opener the value as exactly `width` bit
// symbols in the value field; "Add Entry" (opened without a radix) also asks for a mnemonic
// name and checks both; "Find Bus Value" (opened with a view) stays open and searches the
// view's bus from its Find Next and Find Previous buttons. The value field accepts only the
// characters of the chosen radix.

#include "host/afcq.h"
#include "host/sdr.h"

#include <QString>

class QComboBox;
class QDialogButtonBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QValidator;
class SEDQ_VIEW;

class SEDQ_TRIGGER_VALUE_DLG : public AFCQ_DIALOG
{
    Q_OBJECT
public:
    // Insert and mnemonic entry modes: `bits` (bit symbols, most significant first) is shown in
    // the radix of `type`; SDR_GTYPE_INVALID opens "Add Entry" in unsigned decimal.
    SEDQ_TRIGGER_VALUE_DLG(const QString& bits, int width, QWidget* parent, SDR_DATA_GROUP_DISPLAY_TYPE type);
    // Find mode over `view`'s remembered bus; the value field starts empty in the radix of
    // `type` (the value and the flag are not used).
    SEDQ_TRIGGER_VALUE_DLG(const QString& value, int width, SEDQ_VIEW* view, SDR_DATA_GROUP_DISPLAY_TYPE type,
                           bool flag);

    QLineEdit* get_value_edit() const { return m_value_edit; }
    QComboBox* get_radix_combo() const { return m_radix_combo; }
    QLineEdit* get_mnemonic_edit() const { return m_mnemonic_edit; }
    QLabel* get_mnemonic_label() const { return m_mnemonic_label; }
    QPushButton* get_ok_button() const { return m_ok_button; }
    QPushButton* get_find_previous_button() const { return m_find_previous_button; }
    QDialogButtonBox* get_button_box() const { return m_button_box; }

    QString get_value() const;
    QString get_mnemonic() const;
    int get_width() const { return m_width; }
    SDR_DATA_GROUP_DISPLAY_TYPE get_display_type() const { return m_display_type; }
    bool is_mnemonic_entry_mode() const { return m_mnemonic_entry_mode; }
    // The value text and its radix as they stood at the last Find Next or Find Previous press;
    // has_searched() is false until one ran.
    const QString& get_last_searched_value() const { return m_last_searched_value; }
    SDR_DATA_GROUP_DISPLAY_TYPE get_last_searched_type() const { return m_last_searched_type; }
    bool has_searched() const { return m_searched; }

    // The radix list: entry i's display type, and the entry a dialog opened with `type` shows.
    static SDR_DATA_GROUP_DISPLAY_TYPE get_radix_type(int index);
    static int get_initial_radix_index(SDR_DATA_GROUP_DISPLAY_TYPE type);
    // The characters the value field accepts in the radix of entry `index` (find mode adds
    // "Xx" to hexadecimal and octal).
    static QString get_accepted_characters(int index, bool find_mode);

public Q_SLOTS:
    void on_ok_button();
    void radix_combo_changed(int index);
    void on_find_previous_bus_value_button();

private:
    void on_init_dlg();
    void make_widgets();
    void connect_widgets();
    bool check_mnemonic_entry();
    void search(bool forward);
    QString value_bits();
    // The characters the value field takes in the radix it is written in.
    QString current_characters() const;

    QLabel* m_value_label = nullptr;
    QLineEdit* m_value_edit = nullptr;
    QLabel* m_radix_label = nullptr;
    QComboBox* m_radix_combo = nullptr;
    QLabel* m_mnemonic_label = nullptr;
    QLineEdit* m_mnemonic_edit = nullptr;
    QPushButton* m_ok_button = nullptr;
    QPushButton* m_find_previous_button = nullptr;
    QDialogButtonBox* m_button_box = nullptr;
    QValidator* m_validator = nullptr;
    int m_width;
    SDR_DATA_GROUP_DISPLAY_TYPE m_display_type;
    bool m_mnemonic_entry_mode;
    SEDQ_VIEW* m_view;
    QString m_last_searched_value;
    SDR_DATA_GROUP_DISPLAY_TYPE m_last_searched_type = SDR_GTYPE_INVALID;
    bool m_searched = false;
};
