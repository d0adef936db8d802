#pragma once
// Line counting of state flow texts, used to map a reported line number to a state.

class QString;

// 0 for an empty text, else 1 plus the number of line feeds (a text ending in a line feed
// counts the empty line after it).
int sedq_get_line_count(QString const& text);
// Line `line` (0-based) of `text` without its line feed; a line number of 0 or less, or past
// the last line feed, gives line 0.
void sedq_get_line_text(int line, QString const& text, QString* out);
