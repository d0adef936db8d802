#pragma once
// Interface of the analyzer file layer ("Vantrel File (*.vtl)"): reading and writing a whole data
// session, and the two halves of the tree-object protocol that carry advanced-trigger conditions
// and state flows between live tree objects and the stored records of the data side.

#include <memory>
#include <string>

class SDR_DATA_SESSION;
class SDR_TX_TREE_OBJECT;

// Writes `session` to `path`. The archive is written beside the target and renamed over it only
// when complete, so on failure the previous file is left byte for byte. Trees are written from
// the stored records of each trigger (call sdr_collect_session_trees first when tree objects
// exist). Returns false with a message in `error` (when not null) on failure.
bool sdr_write_session_file(const SDR_DATA_SESSION& session, const std::string& path, std::string* error);

// Reads a whole session from `path`. Returns null with a message naming the file, the entry and
// the problem (line and column for XML) when the file is not a valid analyzer file; nothing of a
// refused file is returned. The returned session's name is `path` as given; its stored trees
// are in the triggers' m_stored_* records and m_tree_records_pending is set.
std::unique_ptr<SDR_DATA_SESSION> sdr_read_session_file(const std::string& path, std::string* error);

// Save side of the tree protocol: walks every live handle of every trigger (levels, storage-
// qualifier patterns, state machine object) with get_child_count / get_child_object /
// get_attributes and replaces the trigger's m_stored_* records with what it collected. Handles
// that are null keep their stored records.
void sdr_collect_session_trees(SDR_DATA_SESSION& session);

// Open side of the tree protocol: for every trigger, creates the handles through `root` and
// rebuilds the stored trees into them (create_child_object + set_attribute; generate_tree only
// for a level that has an expression but no stored tree). Clears m_tree_records_pending.
void sdr_rebuild_session_trees(SDR_DATA_SESSION& session, SDR_TX_TREE_OBJECT* root);
