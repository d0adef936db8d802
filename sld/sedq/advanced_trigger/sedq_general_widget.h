#pragma once
// The "General" page of the object properties dialog: the kind, alias and name of the selected
// objects. The page folds every selected object into the dialog's working copy when it is
// built; its slots change that copy only once the page has filled its own widgets, and on OK
// the copy goes back onto every selected object, carrying only what the selection agrees on.

#include "sedq/advanced_trigger/sedq_object.h"

#include <QList>
#include <QWidget>

class QComboBox;
class QLabel;
class QLineEdit;
class SEDQ_OBJECT_PROPERTIES_DLG;
class SEDQ_PROPERTY;

class SEDQ_GENERAL_WIDGET : public QWidget
{
    Q_OBJECT
public:
    SEDQ_GENERAL_WIDGET(QWidget* parent, SEDQ_OBJECT_PROPERTIES_DLG* dialog, QList<SEDQ_OBJECT*>* objects,
                        SEDQ_PROPERTY* property, SEDQ_OBJECT::SEDQ_OBJECT_TYPE type, bool is_insert,
                        unsigned int lock_mode, bool is_powerup_trigger);

    // Folds the selected objects of `objects` into the dialog's working copy and shows it; the
    // kind starts as `type` unless that is UNKNOWN.
    void load(QList<SEDQ_OBJECT*>* objects, SEDQ_OBJECT::SEDQ_OBJECT_TYPE type, bool is_insert);
    // Writes the working copy onto every selected object.
    void on_ok();

    QComboBox* get_type_combo() const { return m_type_combo; }
    QLineEdit* get_alias_edit() const { return m_alias_edit; }
    QLineEdit* get_name_edit() const { return m_name_edit; }
    // The kinds the combo box offers, in its order.
    static const SEDQ_OBJECT::SEDQ_OBJECT_TYPE CHOOSABLE_TYPES[10];

public Q_SLOTS:
    void object_type_combo_changed(int index);
    void object_alias_edit_changed(const QString& text);
    void object_name_edit_changed(const QString& text);

private:
    void make_widgets();
    void connect_widgets();
    // Folds the selected objects into the working copy; false when a condition or a Result
    // object is among them (their kind is not the user's to change).
    bool unite_selection(int* count);
    void show_working_copy(bool fixed_kind, int count);
    static bool is_selected(const SEDQ_OBJECT* object);

    QLabel* m_type_label = nullptr;
    QComboBox* m_type_combo = nullptr;
    QLabel* m_alias_label = nullptr;
    QLineEdit* m_alias_edit = nullptr;
    QLabel* m_name_label = nullptr;
    QLineEdit* m_name_edit = nullptr;
    QList<SEDQ_OBJECT*>* m_object_list;
    SEDQ_PROPERTY* m_property;
    SEDQ_OBJECT::SEDQ_OBJECT_TYPE m_object_type;
    bool m_is_insert;
    unsigned int m_lock_mode;
    bool m_is_powerup_trigger;
    bool m_initialized = false;
    SEDQ_OBJECT_PROPERTIES_DLG* m_dialog;
};
