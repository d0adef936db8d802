#pragma once
// Persistence object of one trigger's state-based flow: a list of states (name, body text,
// type) and the unified text in which every state stands as "state <name>:" followed by its
// body. The unified text is kept exactly as last set, or rebuilt from the states on every read
// when the document model has dropped it after changing them: reading (a save, an undo step)
// never changes what is held. An emptied text stands for one state that triggers, under the
// first name the flow had: it reads as that state's text, while the editor that emptied it
// still shows it empty. A kept text that is blank is written (saved, checked) as the text the
// states give: a flow always has a state.
// A flow splits into at most MAX_STATES states, however many headers its text holds: the
// headers past the last state stay in that state's body, so nothing of the text is lost, and
// the editor (an editor and a diagram row per state) holds any flow a file can carry.
// A kept text set again is read again only around where it changed (the lines the change
// touched for headers, the bodies around it), and undo steps keep each version of the flow as
// the change from the version before: a key typed costs what it changed, not the whole flow.

#include "host/sdr/sdr_tx_tree_object.h"

#include <QList>
#include <QVector>
#include <QString>
#include <QStringList>

#include <memory>

// One state header of a unified flow text: where its line's "state" stands, where the body
// starts (after the colon) and the name between them, trimmed.
struct SEDQ_STATE_HEADER
{
    int start = 0;
    int body_start = 0;
    QString name;
};

// Where two texts differ: from `at`, `removed` characters of the first stand where `inserted`
// characters of the second do; what comes before and after is the same in both.
struct SEDQ_TEXT_CHANGE
{
    int at = 0;
    int removed = 0;
    int inserted = 0;
};
SEDQ_TEXT_CHANGE sedq_text_change(QString const& before, QString const& after);

// How an editor changed a text: the text it reported last, `before_size` characters that the
// model held under `serial` (see SEDQ_STATE_MACHINE_OBJECT::text_serial; 0 when not known), with
// `change` made. An editor follows each of its changes, so a long text need not be compared
// again to find it, and neither side need hold the other's copy of it.
struct SEDQ_TEXT_CHANGE_FROM
{
    quint64 serial = 0;
    int before_size = 0;
    SEDQ_TEXT_CHANGE change;
    // Whether `change` turns the text held under `held_serial`, of `held_size` characters, into
    // `after`: the serial is this one's and the change fits both texts.
    bool holds_between(quint64 held_serial, int held_size, QString const& after) const;
};

// How the last text set changed the states' bodies, when it changed one body alone, inside it:
// `state`'s body had `removed` (the characters it took out) at `change.at` replaced by
// `change.inserted` characters. It turned the bodies of generation `from` into those of
// generation `to` (see SEDQ_STATE_MACHINE_OBJECT::body_generation); `state` is -1 when the set
// changed no body that way.
struct SEDQ_BODY_CHANGE
{
    int state = -1;
    SEDQ_TEXT_CHANGE change;
    QString removed;
    quint64 from = 0;
    quint64 to = 0;
};

struct SEDQ_FLOW_VERSION;

class SEDQ_STATE_MACHINE_OBJECT : public SDR_TX_TREE_OBJECT
{
public:
    SEDQ_STATE_MACHINE_OBJECT();
    ~SEDQ_STATE_MACHINE_OBJECT() override;

    SDR_TX_TREE_OBJECT* get_child_object(int index) override;
    int get_child_count() const override;
    SDR_TX_TREE_OBJECT* create_child_object(CHILD_OBJECT_TYPE type) override;
    bool delete_child_object(SDR_TX_TREE_OBJECT* child) override;
    bool get_equation(std::string* equation, const SDR_DATA_MNEMONICS* mnemonics, const SDR_TX_TRIGGER* trigger, int condition,
                      bool is_powerup) override;
    bool duplicate_trigger(bool to_powerup) override;
    void generate_tree(void* factory) override;
    void set_attribute(char const* key, char const* value) override;
    void get_attributes() override;
    // The flow as held (an empty body, saved as "trigger;", comes back empty on undo and redo),
    // as a version that shares what did not change with the version before.
    SDR_TREE_UNDO_STATE_PTR get_undo_state() override;
    void set_undo_state(const SDR_TREE_UNDO_STATE_PTR& state) override;

    // The headers of a unified text, in order. A header is a line whose first word is "state"
    // (any letter case), followed on the same line by a name and a colon; the body of a
    // state runs to the next header.
    static QVector<SEDQ_STATE_HEADER> find_state_headers(QString const& text);

    // `known`, when given, may say how `text` differs from the text kept (see
    // SEDQ_TEXT_CHANGE_FROM): the kept text is then changed in place, and `text` is not held.
    // The texts are compared when it does not.
    void set_unified_state_text(QString const& text, const SEDQ_TEXT_CHANGE_FROM* known = nullptr);
    // Names the kept text as it stands: each text set or cleared takes a serial no other text of
    // any flow had. 0 when no text is kept (the states give the text then).
    quint64 text_serial() const { return m_unified_kept ? m_text_serial : 0; }
    // The kept text, or the states' text when none is kept or the kept one is empty.
    void get_unified_state_text(QString* text) const;
    // The text as last set, empty too; the states' text when none is kept.
    QString get_unified_state_text_as_typed() const;

    // The per-state data, read and written directly by the document model; whoever
    // changes them empties the unified text so that the next read rebuilds it.
    int get_state_count() const { return m_state_count; }
    void set_state_count(int count) { m_state_count = qBound(1, count, MAX_STATES); }
    QStringList& get_state_name_list() { return m_state_name_list; }
    // The bodies to change: whoever takes them may change any, and they take a new generation.
    QStringList& get_state_text_list()
    {
        m_body_generation = next_generation();
        return m_state_text_list;
    }
    const QStringList& state_text_list() const { return m_state_text_list; }
    // Names the bodies as they stand: each change of them (a text set, an undo step, the list
    // taken to change) takes a generation no other flow's bodies had. A reader that kept the
    // generation it read learns from last_body_change what the one text set since changed, and
    // need not keep the body: a body nobody else holds is changed where it stands.
    quint64 body_generation() const { return m_body_generation; }
    const SEDQ_BODY_CHANGE& last_body_change() const { return m_body_change; }
    QList<int>& get_state_type_list() { return m_state_type_list; }
    void clear_unified_state_text();
    // Whether the unified text is kept as typed rather than rebuilt from the states on the next read.
    bool has_unified_state_text() const { return m_unified_kept; }

    static constexpr int MAX_STATES = 4096;
    static const char* const FLOW_EXPRESSION_KEY;

private:
    // What was written last, with the state it was written from: the check and the save read
    // the flow again and again between edits.
    struct WRITTEN
    {
        int count = -1;
        bool kept = false;
        QString unified;
        QStringList names;
        QStringList bodies;
        QByteArray flow;
    };

    static void store_at(QStringList* list, int index, const QString& text);
    QString built_text() const;
    const QByteArray& written() const;
    // The lines a change touched, [from, to] of the new text, and the headers read in them:
    // `count` headers from index `first` on.
    struct HEADERS_READ
    {
        int from;
        int to;
        int first;
        int count;
    };
    HEADERS_READ read_headers(QString const& text, SEDQ_TEXT_CHANGE const& change);
    void cut_bodies(QString const& text, int from, int to, const SEDQ_TEXT_CHANGE* change);
    bool edit_body(int state, QString const& text, int start, int end, SEDQ_TEXT_CHANGE const& change);
    static quint64 next_generation();
    bool holds(const SEDQ_FLOW_VERSION& version) const;
    QString text_of(const SEDQ_FLOW_VERSION* version) const;
    QString version_text() const;
    bool is_version_text() const;
    void note_text_change(SEDQ_TEXT_CHANGE const& change);
    void keep_version_text();

    int m_state_count = 1;
    QStringList m_state_name_list;
    QStringList m_state_text_list;
    QString m_unified_state_text;
    bool m_unified_kept = false;
    quint64 m_text_serial = 0;
    // The headers of the kept text, all of them (past MAX_STATES too); none when no text is kept.
    QVector<SEDQ_STATE_HEADER> m_headers;
    // The names as the last text set left them (shared): while the names are still these, a
    // change needs only the names of the headers it read again.
    QStringList m_names_from_headers;
    QList<int> m_state_type_list;
    mutable WRITTEN m_written;
    // The version the last undo step read or set, and its text. Once the kept text changes, the
    // version's text is held as that change instead (`since_version`): the characters of the
    // version's text it replaced, where, and how many of the kept text stand there now. The
    // version's text and the kept text so share no characters, and a key changes the kept text
    // where it stands; the undo step that follows takes the change as noted.
    std::shared_ptr<const SEDQ_FLOW_VERSION> m_version;
    QString m_version_text;
    struct SINCE_VERSION
    {
        bool noted = false;
        int at = 0;
        QString removed;
        int inserted = 0;
    } m_since_version;
    // The change the last kept text made, from the text kept before it.
    SEDQ_TEXT_CHANGE m_change;
    quint64 m_body_generation = next_generation();
    // The generation of the bodies as the last text set cut them from it: while they are still
    // that one, each body is the text's slice, and a change inside it may be made in the body.
    quint64 m_cut_generation = 0;
    SEDQ_BODY_CHANGE m_body_change;
};
