#pragma once
// The frameless line editors the node table opens over one of its cells: SEDQ_EDIT for an
// alias, a node or group name, a trigger level name or a bus's trigger value, and
// SEDQ_COMPARISON_EDIT for the comparison of a bus at a trigger level. An editor registers
// itself with its view for as long as it is open (openers only construct it), commits when it
// loses the focus (Escape first makes the typed text count as unchanged), then closes and
// deletes itself. An editor over a cell that is not in view is never shown and closes at once.

#include "host/sdr.h"

#include <QLineEdit>
#include <QPointer>
#include <QRect>
#include <QString>

class SEDQ_TX_MANAGER;
class SEDQ_VIEW;

// A comparison as typed into a bus's trigger cell: one operator and one value (operand b is
// SDR_CTYPE_COMPARE_TRUE, value b 0), or an interval of two bounds. 24 and -1 mark what was
// not read.
struct SEDQ_COMPARISON
{
    SDR_DATA_TRIGGER_CONDITION operand_a = SDR_CTYPE_ADVANCED;
    SDR_DATA_TRIGGER_CONDITION operand_b = SDR_CTYPE_ADVANCED;
    int value_a = -1;
    int value_b = -1;
};

// Reads "<op> <value>" (op one of >, >=, ==, <=, <) or an interval "(a, b)" with "[" and "]"
// for inclusive bounds. False for a text of neither form, for characters outside the form,
// for a value above `max` (values are read in 64 bits, so no long digit string wraps into
// range) and for an interval whose lower bound is not below its upper one. The operands are
// not checked against the node lists' operand set.
bool sedq_parse_comparison(const QString& text, int max, SEDQ_COMPARISON* comparison);

// What both editors share: the cell they edit, the text they opened with, and the one way an
// edit ends (focus loss commits a changed text, then the editor leaves its view and closes).
class SEDQ_CELL_EDIT : public QLineEdit
{
public:
    SEDQ_CELL_EDIT(const SEDQ_CELL_EDIT&) = delete;
    SEDQ_CELL_EDIT& operator=(const SEDQ_CELL_EDIT&) = delete;

    int get_node() const { return m_node; }
    int get_column() const { return m_column; }
    const QString& get_initial_text() const { return m_initial_text; }
    const QRect& get_rect() const { return m_rect; }

protected:
    SEDQ_CELL_EDIT(SEDQ_VIEW* view, SEDQ_TX_MANAGER* tx, int node, int column);

    // Shows the editor over m_rect with `text` and registers it; an editor whose cell is out of
    // view (`visible` false) closes at once instead.
    void open(const QString& text, bool visible, Qt::Alignment alignment);
    // Writes the changed text to the model.
    virtual void commit() = 0;
    // Makes the view's pointer to this kind of editor this one, or clears it when it is this one.
    virtual void set_registered(bool registered) = 0;

    void keyPressEvent(QKeyEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

    SEDQ_VIEW* m_view;
    // Weak: a window deletes its model before its panes, and an editor that loses the focus
    // then has nothing left to commit to.
    QPointer<SEDQ_TX_MANAGER> m_tx_manager;
    int m_node;
    int m_column;
    QString m_initial_text;
    QRect m_rect;
    // Only a registered editor touches its view: one closed or never shown may be deleted with
    // a view that is already half gone.
    bool m_registered = false;

private:
    void finish();

    bool m_finished = false;
};

class SEDQ_EDIT : public SEDQ_CELL_EDIT
{
public:
    // Column 1 alias, 2 name, 12..21 with node -1 the level's name, 12..21 with a bus or group
    // its trigger value at that level.
    SEDQ_EDIT(SEDQ_VIEW* view, SEDQ_TX_MANAGER* tx, int node, int column);
    ~SEDQ_EDIT() override;

protected:
    void commit() override;
    void set_registered(bool registered) override;

private:
    QString opening_text();
    bool place();
};

class SEDQ_COMPARISON_EDIT : public SEDQ_CELL_EDIT
{
public:
    // `column` is a trigger column (12..21 or 9..11) of bus or group row `node`.
    SEDQ_COMPARISON_EDIT(SEDQ_VIEW* view, SEDQ_TX_MANAGER* tx, int node, int column);
    ~SEDQ_COMPARISON_EDIT() override;

protected:
    void commit() override;
    void set_registered(bool registered) override;
};
