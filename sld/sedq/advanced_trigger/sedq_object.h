#pragma once
// One object (box) of an advanced trigger condition diagram. Its inputs are its children;
// parent and children point at each other without owning: every object belongs to its
// condition's object list (SEDQ_TRIGGER_OBJECT). The kind and every setting live in the
// property bag, which is also what the analyzer file stores for the object.

#include "host/sdr/sdr_tx_tree_object.h"
#include "sedq/advanced_trigger/sedq_object_copy.h"
#include "sedq/advanced_trigger/sedq_property.h"

#include <QList>
#include <QPoint>
#include <QString>

class SEDQ_TRIGGER_OBJECT;

class SEDQ_OBJECT : public SDR_TX_TREE_OBJECT
{
public:
    enum SEDQ_OBJECT_TYPE
    {
        UNKNOWN, INCREMENTAL_ROUTE_CONDITION, LEVEL_RESULT, EDGE_LEVEL_DETECTOR, NODE, BUS, BIT_VALUE, BUS_VALUE,
        COMPARISON_OPERATOR, BITWISE_OPERATOR, LOGICAL_OPERATOR, REDUCTION_OPERATOR, SHIFT_OPERATOR,
        COUNTER_OPERATOR, CUSTOM_TRIGGER_HDL,
        OBJECT_TYPE_COUNT
    };
    // The kind refined by the object's settings (a constant or variable value, each comparison,
    // operator, shift and counter of its own), which names it in tooltips and in find.
    enum SEDQ_DISPLAY_TYPE
    {
        DISPLAY_UNKNOWN = 0,
        DISPLAY_TYPE_COUNT = 68
    };

    static const QPoint ORIGIN_POINT;

    static const char* const OBJECT_STRING[OBJECT_TYPE_COUNT];
    static const char* const DISPLAY_FORMAT_STRING[5];
    static const char* const BIT_ORDER_STRING[2];
    static const char* const BIT_VALUE_STRING[2];
    static const char* const COMPARISON_TYPE_STRING[8];
    static const char* const SIGNED_COMPARISON_TYPE_STRING[2];
    static const char* const BITWISE_OPERATOR_TYPE_STRING[4];
    static const char* const LOGICAL_OPERATOR_TYPE_STRING[4];
    static const char* const REDUCTION_OPERATOR_TYPE_STRING[3];
    static const char* const SHIFT_DIRECTION_STRING[2];
    static const char* const SHIFT_TYPE_STRING[3];
    static const char* const COUNTER_TYPE_STRING[3];
    static const char* const COUNTER_HOLD_TYPE_STRING[2];
    static const char* const DISPLAY_STRING[DISPLAY_TYPE_COUNT];

    SEDQ_OBJECT(SEDQ_OBJECT_COPY copy, QPoint const& position, SEDQ_TRIGGER_OBJECT* owner);
    ~SEDQ_OBJECT() override;
    SEDQ_OBJECT(const SEDQ_OBJECT&) = delete;
    SEDQ_OBJECT& operator=(const SEDQ_OBJECT&) = delete;

    // Host tree interface.
    SDR_TX_TREE_OBJECT* get_child_object(int index) override;
    int get_child_count() const override;
    SDR_TX_TREE_OBJECT* create_child_object(CHILD_OBJECT_TYPE type) override;
    bool delete_child_object(SDR_TX_TREE_OBJECT* child) override;
    bool get_equation(std::string* equation, SDR_DATA_MNEMONICS* mnemonics, SDR_TX_TRIGGER* trigger, int condition,
                      bool is_powerup) override;
    bool duplicate_trigger(bool to_powerup) override;
    void generate_tree(void* factory) override;
    void set_attribute(char const* key, char const* value) override;
    void get_attributes() override;

    SEDQ_OBJECT_TYPE get_type() const;
    void set_type(SEDQ_OBJECT_TYPE type);
    SEDQ_OBJECT* get_parent() const { return m_parent; }
    void set_parent(SEDQ_OBJECT* parent) { m_parent = parent; }
    bool is_root() const { return m_parent == nullptr; }
    const QList<SEDQ_OBJECT*>& get_children() const { return m_children; }
    SEDQ_TRIGGER_OBJECT* get_owner() const { return m_owner; }
    SEDQ_PROPERTY& get_property() { return m_property; }
    const SEDQ_PROPERTY& get_property() const { return m_property; }

    void set_copy(SEDQ_OBJECT_COPY copy) { m_copy = copy; }
    SEDQ_OBJECT_COPY get_copy() const { return m_copy; }
    bool is_powerup_trigger() const;

    const QString& get_name() const { return m_property[SEDQ_PROPERTY::NAME]; }
    const QString& get_alias() const { return m_property[SEDQ_PROPERTY::ALIAS]; }
    const QString& get_bus_name() const { return m_property[SEDQ_PROPERTY::BUS_NAME]; }

    // Display type and data delay (sedq_object_display.cpp).
    SEDQ_DISPLAY_TYPE get_display_type() const;
    // The data delay setting of a Node or Bus ("" for none, "0" included); a Node without one
    // takes its Bus's when `inherit` is set.
    QString get_data_delay(bool inherit) const;

    // Geometry (sedq_object_geometry.cpp): the box is 100 wide; its height depends on the kind.
    int get_height() const;
    // The output point, in the middle of the box's right edge.
    QPoint get_head() const;
    // Expands every object above this one, so that its box is drawn.
    void ensure_visible();

    // The three texts of a "Condition for Incrementally Routed Nodes" object, written by
    // the document model: the power-up pattern, the normal pattern and the node list.
    void set_incremental_texts(const QString& first, const QString& second, const QString& third);
    const QString& get_incremental_text(int index) const;

private:
    void add_string_attributes();
    void add_int_attributes();

    SEDQ_OBJECT_COPY m_copy;
    SEDQ_OBJECT* m_parent = nullptr;
    QList<SEDQ_OBJECT*> m_children;
    SEDQ_PROPERTY m_property;
    SEDQ_TRIGGER_OBJECT* m_owner = nullptr;
    QString m_incremental_text[3];
};

// Index of the first object of that kind in the list; -1 for a null or empty list or no match.
int sedq_get_object_index(QList<SEDQ_OBJECT*>* objects, SEDQ_OBJECT::SEDQ_OBJECT_TYPE type);

// The order of objects from top to bottom: true when a's head lies above b's.
bool sedq_object_compare(SEDQ_OBJECT* a, SEDQ_OBJECT* b);
