#pragma once
// Host find engine: searches the texts of an ordered list of find targets for a string and lets
// the matching target act on the match (a view scrolls to its row, a canvas selects its box).
// The caller owns the targets and the list; the engine only reads them and never keeps a
// match between calls: where to continue is the index, position and length it hands back.
//
// Semantics of find(), fixed here because callers step through matches with them:
// - Only targets whose type shares a bit with the find-in set take part; the others are
//   passed over as if absent.
// - Positions count characters of the target's text read in the local 8-bit encoding.
// - Down (1): target[index] for the first match starting at or after `position`, then each
//   following target from its start. A position past the text's end finds nothing there.
// - All (3): as down; past the last target it wraps once to the first and searches up to
//   target[index], whose matches count there only when they start before `position`, so
//   every place is looked at exactly once.
// - Up (2): target[index] for the last match starting at or before `position` (NPOS: the
//   text's end), then each earlier target from its end.
// - A match is a substring, compared without regard to case unless option 1 (match case) is
//   set. Option 2 (whole words) takes a match only where the characters either side of it are
//   no word characters ([A-Za-z0-9_]; "|" of a hierarchical name separates). Option 4 reads the
//   text as a regular expression (QRegularExpression, compiled once per call); an invalid
//   expression finds nothing, and an empty match never counts.
// - On a match find() sets index, position (start) and length, calls the target's
//   find_action(position, length) and returns the target. Otherwise, and for an empty text, an
//   index at or past the number of targets or a missing argument, it returns null and leaves
//   the three values as they were.

#include "host/gen.h"

#include <QByteArray>
#include <QString>

#include <vector>

class UIB_FIND_TARGET
{
public:
    UIB_FIND_TARGET() = default;
    virtual ~UIB_FIND_TARGET();
    UIB_FIND_TARGET(const UIB_FIND_TARGET&) = delete;
    UIB_FIND_TARGET& operator=(const UIB_FIND_TARGET&) = delete;

    // The searched text in the local 8-bit encoding, valid until the next call on the target.
    // The base answers the text cache.
    virtual const char* get_text();
    virtual const char* get_string();
    virtual void find_action(unsigned long position, unsigned long length);
    virtual const char* get_replacement_string();
    virtual void replace_action(unsigned long position, unsigned long length, const char* replacement);

    // The target's field kind, tested against the find-in set.
    void set_type(unsigned int type) { m_type = type; }
    unsigned int get_type() const { return m_type; }

protected:
    // Keeps `text` in both caches and answers the 8-bit one.
    const char* cache_text(const QString& text);

    unsigned int m_type = 0;
    QString m_text;
    QByteArray m_narrow_text;
};

class UIB_FIND_ENGINE
{
public:
    enum DIRECTION
    {
        DOWN = 1,
        UP = 2,
        ALL = 3
    };
    enum OPTIONS
    {
        MATCH_CASE = 1,
        WHOLE_WORDS = 2,
        REGULAR_EXPRESSIONS = 4
    };
    // "From the text's end" for an upward search.
    static constexpr unsigned long NPOS = ~0UL;

    // The list is read at every find(), so targets added or removed in between are seen.
    explicit UIB_FIND_ENGINE(std::vector<UIB_FIND_TARGET*>* targets);

    UIB_FIND_TARGET* find(const char* text, GEN_BITSET<unsigned int> find_in,
                          GEN_ENUM_FLAG<UIB_FIND_ENGINE::OPTIONS, unsigned int> options,
                          UIB_FIND_ENGINE::DIRECTION direction, unsigned long* target_index,
                          unsigned long* position, unsigned long* length);

private:
    std::vector<UIB_FIND_TARGET*>* m_targets;
};
