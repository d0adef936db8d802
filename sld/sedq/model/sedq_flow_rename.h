#pragma once
// Renaming a flag or counter in a state flow text: the text follows the name the resources
// pane gives it.

class QString;

// `text` with every whole-word occurrence of `from` replaced by `to`. A name is whole where it
// begins or ends with a name character (letter, digit, underscore) that its neighbour there does
// not continue, as the flow check reads names. An empty `from` or `to` leaves the text as it is:
// a flow that named the old flag goes on naming it, and the check reports the missing name.
QString sedq_rename_in_flow(QString const& text, QString const& from, QString const& to);
