// SEDQ_RENAME_EDIT: the alias editor of one canvas object.
#include "sedq/advanced_trigger/sedq_rename_edit.h"

#include "sedq/advanced_trigger/sedq_object_widget.h"

#include <QKeyEvent>

SEDQ_RENAME_EDIT::SEDQ_RENAME_EDIT(SEDQ_OBJECT* object, SEDQ_OBJECT_WIDGET* parent, const QString& text)
    : QLineEdit(text, parent), m_original_text(text), m_object(object), m_canvas(parent)
{
    setFrame(false);
}

void SEDQ_RENAME_EDIT::keyPressEvent(QKeyEvent* event)
{
    switch (event->key())
    {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        m_canvas->end_rename(m_object, text());
        m_canvas->setFocus();
        break;
    case Qt::Key_Escape:
        m_canvas->setFocus();
        break;
    default:
        QLineEdit::keyPressEvent(event);
    }
}

// Destroyed once its own event handling is over.
void SEDQ_RENAME_EDIT::focusOutEvent(QFocusEvent* event)
{
    QLineEdit::focusOutEvent(event);
    m_canvas->rename_closed(this);
    hide();
    deleteLater();
}
