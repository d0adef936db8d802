#pragma once
// The in-place editor of an object's alias on the canvas: a frameless line edit over the
// object's text. Return applies the text (an empty one too); Escape or the focus going
// elsewhere drops it. The editor closes itself on losing the focus.

#include <QLineEdit>

class SEDQ_OBJECT;
class SEDQ_OBJECT_WIDGET;

class SEDQ_RENAME_EDIT : public QLineEdit
{
    Q_OBJECT
public:
    SEDQ_RENAME_EDIT(SEDQ_OBJECT* object, SEDQ_OBJECT_WIDGET* parent, const QString& text);

    SEDQ_OBJECT* get_object() const { return m_object; }
    const QString& get_original_text() const { return m_original_text; }

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    QString m_original_text;
    SEDQ_OBJECT* m_object;
    SEDQ_OBJECT_WIDGET* m_canvas;
};
