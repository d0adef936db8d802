#pragma once
// The "Parameters" page of the object properties dialog: every parameter that applies to the
// selected objects in a table, and the editors of one of them (setting box, configurable check
// box, description, Reset and Reset All). Every edit goes into the dialog's working copy, which
// the dialog writes back on OK. A row is read from and written to one copy of the working copy:
// the copy a write of that property resolves to, with the page's own power-up flag standing
// for the trigger on show; so the table always shows what OK will store. The page builds its
// widgets when it is first shown or used (SEDQ_DEFERRED_PAGE).

#include "sedq/advanced_trigger/sedq_deferred_page.h"
#include "sedq/advanced_trigger/sedq_property.h"

#include <QList>

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QPushButton;
class QTextEdit;
class SDR_DATA_MNEMONICS;
class SEDQ_OBJECT;
class SEDQ_OBJECT_PROPERTIES_DLG;
class SEDQ_PARAMETER_SETTING_VIEW;

class SEDQ_PARAMETER_WIDGET : public SEDQ_DEFERRED_PAGE
{
    Q_OBJECT
public:
    // Why the editors show no parameter.
    enum NO_PARAMETER_REASON
    {
        NO_PARAMETERS,
        NO_SELECTION,
        MULTIPLE_ITEMS
    };
    static constexpr int RESET_BUTTON_WIDTH = 75;
    static constexpr int DESCRIPTION_HEIGHT = 60;

    SEDQ_PARAMETER_WIDGET(QWidget* parent, SEDQ_OBJECT_PROPERTIES_DLG* dialog, QList<SEDQ_OBJECT*>* objects,
                          SEDQ_PROPERTY* property, const SDR_DATA_MNEMONICS* mnemonics, unsigned int lock_mode,
                          bool is_powerup_trigger);

    void build_parameter_list();
    // Puts the settings of `source` into the working copy and the table: every row, or only
    // the selected ones; with `configurable_rows_only`, only the runtime-configurable rows.
    void update_parameter_list(const SEDQ_PROPERTY& source, bool all_rows, bool configurable_rows_only);
    // The page becomes current: the table is built anew from the working copy.
    void on_set_active();
    // The dialog opens again on `objects` of the document whose mnemonic tables are `mnemonics`:
    // the table of the last use is emptied, to be built anew from the new working copy when the
    // page is shown.
    void reopen(QList<SEDQ_OBJECT*>* objects, const SDR_DATA_MNEMONICS* mnemonics);

    bool get_setting_text(int row, QString* text, const SEDQ_PROPERTY& source);
    bool set_setting_text(int row, const QString& text);
    bool get_configurable(int row, bool* configurable, bool* selectable) const;
    bool get_configurable_text(int row, QString* text) const;
    bool set_configurable(int row, bool configurable);

    // The editors for the table's selection (called by the table).
    void show_parameter(int row);
    void show_no_parameter(NO_PARAMETER_REASON reason);

    SEDQ_PARAMETER_SETTING_VIEW* get_setting_view() const { return built().m_setting_view; }
    QLabel* get_parameter_name_label() const { return built().m_parameter_name_label; }
    QComboBox* get_setting_combo() const { return built().m_setting_combo; }
    QCheckBox* get_configurable_check() const { return built().m_configurable_check; }
    QTextEdit* get_description_edit() const { return built().m_description_edit; }
    QPushButton* get_reset_button() const { return built().m_reset_button; }
    QPushButton* get_reset_all_button() const { return built().m_reset_all_button; }

public Q_SLOTS:
    void on_setting_combo_changed(int index);
    void on_setting_combo_edit_text_changed(const QString& text);
    void on_parameter_configurable_check(int state);
    void on_reset_button();
    void on_reset_all_button();

protected:
    void build() override;

private:
    // The page with its widgets, built now if they were not yet.
    const SEDQ_PARAMETER_WIDGET& built() const
    {
        ensure_built();
        return *this;
    }
    // A row's property: its number and whether it is a string property.
    struct ROW_PROPERTY
    {
        int number;
        bool is_string;
    };
    ROW_PROPERTY row_property(int row) const;
    // The copy a write of the property resolves to (see the class comment).
    SEDQ_PROPERTY::SEDQ_IS_POWERUP_TRIGGER copy_of(ROW_PROPERTY property) const;
    QString read_setting(ROW_PROPERTY property) const;
    bool is_editable() const;

    void make_widgets();
    void make_layout();
    void connect_widgets();
    void clear_editors();
    // Fills the setting box for the row's parameter and selects its current setting.
    void fill_setting_combo(int row);
    QStringList setting_words(int row) const;
    void update_row(int row);
    void reset_rows(bool all_rows);

    QGroupBox* m_parameter_group = nullptr;
    QLabel* m_name_label = nullptr;
    QLabel* m_parameter_name_label = nullptr;
    QLabel* m_setting_label = nullptr;
    QComboBox* m_setting_combo = nullptr;
    QCheckBox* m_configurable_check = nullptr;
    QLabel* m_description_label = nullptr;
    QTextEdit* m_description_edit = nullptr;
    QPushButton* m_reset_button = nullptr;
    QPushButton* m_reset_all_button = nullptr;
    QLabel* m_settings_label = nullptr;
    SEDQ_PARAMETER_SETTING_VIEW* m_setting_view = nullptr;

    bool m_is_powerup_trigger;
    unsigned int m_lock_mode;

    QList<SEDQ_OBJECT*>* m_object_list;
    SEDQ_PROPERTY* m_property;
    const SDR_DATA_MNEMONICS* m_mnemonics;

    bool m_initialized = false;
    // The page refills or empties the setting box itself: its signals are no user edit.
    bool m_filling = false;
    SEDQ_OBJECT_PROPERTIES_DLG* m_dialog;
};
