// SEDQ_OBJECT_WIDGET: renaming an object's alias in place.
#include "sedq/advanced_trigger/sedq_object_widget.h"

#include "sedq/advanced_trigger/sedq_rename_edit.h"

void SEDQ_OBJECT_WIDGET::on_rename()
{
    SEDQ_OBJECT* object = get_selected_item();
    if (object != nullptr)
        start_rename(object);
}

// The editor covers the object's text, two pixels up and left so that its own margin lines up.
void SEDQ_OBJECT_WIDGET::start_rename(SEDQ_OBJECT* object)
{
    if (object == nullptr || m_rename_edit != nullptr)
        return;
    QRect rect;
    object->get_text_rect(&rect);
    zoom_to_client(&rect);
    rect.translate(-2, -2);
    m_rename_edit = new SEDQ_RENAME_EDIT(object, this, object->get_alias());
    m_rename_edit->setGeometry(rect);
    m_rename_edit->show();
    m_rename_edit->setFocus();
}

// The alias is saved with the document, so a change is an edit like any other.
void SEDQ_OBJECT_WIDGET::end_rename(SEDQ_OBJECT* object, const QString& alias)
{
    if (object == nullptr || m_object_list == nullptr || !m_object_list->contains(object) ||
        object->get_alias() == alias)
        return;
    object->set_alias(alias);
    update_picture();
    save_undo_state(true);
}

void SEDQ_OBJECT_WIDGET::rename_closed(SEDQ_RENAME_EDIT* editor)
{
    if (m_rename_edit == editor)
        m_rename_edit = nullptr;
}

SEDQ_RENAME_EDIT* SEDQ_OBJECT_WIDGET::get_rename_edit() const
{
    return m_rename_edit;
}
