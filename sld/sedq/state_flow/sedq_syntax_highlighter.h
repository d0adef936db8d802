#pragma once
// Colours a flow editor's text: keywords, store words, the instance's names, numbers and
// operators, and underlines the tokens a click can swap. The rules are built from the model
// once per highlighting pass (the first block of a pass builds them, the event loop drops them
// afterwards), never per block. Names are user text: each is escaped and an empty one skipped,
// so no rule can match the empty string.

#include "sedq/state_flow/sedq_flow_language.h"

#include <QColor>
#include <QRegularExpression>
#include <QSyntaxHighlighter>
#include <QTextLayout>
#include <QVector>

class SEDQ_TX_MANAGER;

// What decides which tokens may be swapped: the lock, the power-up trigger and the options that
// stay configurable at run time (bits of SCI_FLOW_CONTROL_RUNTIME_CONFIG_OPTION).
struct SEDQ_HIGHLIGHT_LOCK
{
    bool locked = false;
    bool powerup = false;
    int configurable = 0;
};

struct SEDQ_HIGHLIGHT_RULE
{
    QRegularExpression pattern;
    QColor colour;
    bool underline = false;
};

QVector<SEDQ_HIGHLIGHT_RULE> sedq_highlight_rules(SEDQ_FLOW_NAMES const& names, SEDQ_HIGHLIGHT_LOCK const& lock);
// The format ranges of one line, later rules over earlier ones where they overlap.
QVector<QTextLayout::FormatRange> sedq_highlight_line(QString const& text,
                                                      QVector<SEDQ_HIGHLIGHT_RULE> const& rules);

class SEDQ_SYNTAX_HIGHLIGHTER : public QSyntaxHighlighter
{
    Q_OBJECT
public:
    SEDQ_SYNTAX_HIGHLIGHTER(QTextDocument* document, SEDQ_TX_MANAGER* tx, int instance);

    static SEDQ_HIGHLIGHT_LOCK lock_of(SEDQ_TX_MANAGER* tx, int instance);

protected:
    void highlightBlock(QString const& text) override;

private:
    SEDQ_TX_MANAGER* m_tx_manager;
    int m_instance;
    QVector<SEDQ_HIGHLIGHT_RULE> m_rules;
    bool m_rules_valid = false;
};
