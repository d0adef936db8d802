#pragma once
// Host interface of the nodes of an advanced-trigger object tree. The editor library implements
// it; the repository walks it to save conditions and state flows, and builds it again on open.
// The order of the virtual functions is part of the interface: do not reorder them.

#include <memory>
#include <string>

class SDR_DATA_MNEMONICS;
class SDR_TX_TRIGGER;

// What an undo step keeps of a tree node: an immutable value that only the node reads back.
// Steps that hold the same content share one.
class SDR_TREE_UNDO_STATE
{
public:
    virtual ~SDR_TREE_UNDO_STATE() = default;
};
using SDR_TREE_UNDO_STATE_PTR = std::shared_ptr<const SDR_TREE_UNDO_STATE>;

class SDR_TX_TREE_OBJECT
{
public:
    // 1 = state machine object; any other value = trigger object.
    enum CHILD_OBJECT_TYPE
    {
        CHILD_OBJECT_TRIGGER = 0,
        CHILD_OBJECT_STATE_MACHINE = 1
    };

    virtual ~SDR_TX_TREE_OBJECT() = default;
    virtual SDR_TX_TREE_OBJECT* get_child_object(int index) = 0;
    virtual int get_child_count() const = 0;
    virtual SDR_TX_TREE_OBJECT* create_child_object(CHILD_OBJECT_TYPE type) = 0;
    virtual bool delete_child_object(SDR_TX_TREE_OBJECT* child) = 0;
    virtual bool get_equation(std::string* text, const SDR_DATA_MNEMONICS* mnemonics, const SDR_TX_TRIGGER* trigger,
                              int level, bool flag) = 0;
    virtual bool duplicate_trigger(bool to_power_up) = 0;
    virtual void generate_tree(void* factory) = 0;
    virtual void set_attribute(char const* key, char const* value) = 0;
    virtual void get_attributes() = 0;
    // What an undo step keeps of the node, and the node set back to it. By default the
    // attributes a save writes, given back through set_attribute() when they differ from the
    // node's; a node whose saved form loses something the user sees, or whose content is large
    // and changes a little per step, keeps a form of its own.
    virtual SDR_TREE_UNDO_STATE_PTR get_undo_state();
    virtual void set_undo_state(const SDR_TREE_UNDO_STATE_PTR& state);

    // Appends one attribute of the node being written to the current sink. Called by
    // get_attributes() implementations; without a sink (outside a save) it is reported and dropped.
    void add_attribute(char const* key, char const* value);
};

// Receives the attributes that get_attributes() writes. The repository installs one around each
// get_attributes() call; there is one process-wide sink because the interface passes none.
class SDR_TX_ATTRIBUTE_SINK
{
public:
    virtual ~SDR_TX_ATTRIBUTE_SINK() = default;
    virtual void add(const std::string& key, const std::string& value) = 0;
};

// Installs `sink` as the current attribute sink for the life of the scope (restores the previous
// one on exit, so nested collection is safe).
class SDR_TX_ATTRIBUTE_SINK_SCOPE
{
public:
    explicit SDR_TX_ATTRIBUTE_SINK_SCOPE(SDR_TX_ATTRIBUTE_SINK* sink);
    ~SDR_TX_ATTRIBUTE_SINK_SCOPE();
    SDR_TX_ATTRIBUTE_SINK_SCOPE(const SDR_TX_ATTRIBUTE_SINK_SCOPE&) = delete;
    SDR_TX_ATTRIBUTE_SINK_SCOPE& operator=(const SDR_TX_ATTRIBUTE_SINK_SCOPE&) = delete;

private:
    SDR_TX_ATTRIBUTE_SINK* m_previous;
};
