#pragma once
// What a find remembers between two commands. Each opener of the find dialog (the node view,
// the advanced trigger canvas) keeps one SEDQ_FIND_STATE, hands it to the dialog when it opens
// and gets it back after each search; the view also keeps where its last Find Next stopped
// (SEDQ_FIND_POSITION), so that the next one goes on from there. Nothing of it is stored in a
// file.

#include <QByteArray>
#include <QString>

struct SEDQ_FIND_STATE
{
    bool match_case = false;
    bool whole_words = false;
    bool regular_expressions = false;
    // The "Search:" entry: "Up", "Down" or, for anything else, all.
    QString direction = QStringLiteral("All");
    // The "Find in" boxes; the node view searches node and bus names only.
    bool node_names = true;
    bool bus_names = true;
    bool other_names = true;
    bool object_aliases = true;
    bool object_types = true;
    // In the local 8-bit encoding, as the find engine takes it.
    QByteArray text;
};

// Where the last search stopped: the target, the match's start and length in its text, and
// whether that search found anything. Only the answer is kept, not the matching target, which
// belongs to the dialog that searched and goes with it.
struct SEDQ_FIND_POSITION
{
    unsigned long target_index = 0;
    unsigned long position = 0;
    unsigned long length = 0;
    bool matched = false;
};
