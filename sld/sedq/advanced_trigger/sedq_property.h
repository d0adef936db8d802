#pragma once
// The property bag of one advanced trigger object: 24 integer and 8 string properties,
// each held twice (power-up copy and normal copy) so that a runtime-configurable value can
// differ between the two triggers while the structure is shared. The table keys are also
// the attribute keys under which the object is stored in the analyzer file.

#include <QString>

class SEDQ_OBJECT;

class SEDQ_PROPERTY
{
public:
    enum SEDQ_INT_PROPERTY
    {
        SELECTED, EXPANDED, FIRST_PORT_EMPTY, TOP, LEFT, CONFIGURABLE, TYPE, DISPLAY_FORMAT,
        BIT_ORDER, BIT_VALUE, COMPARISON, SIGNED_COMPARISON, BITWISE, LOGICAL, REDUCTION,
        SHIFT_DISTANCE, SHIFT_DIRECTION, SHIFT_TYPE, PIPELINE_LENGTH, DATA_DELAY, COUNTER_VALUE,
        MAX_COUNTER_VALUE, COUNTER_TYPE, COUNTER_HOLD,
        INT_PROPERTY_COUNT
    };
    enum SEDQ_STRING_PROPERTY
    {
        NAME, ALIAS, PATTERN, BUS_NAME, BUS_VALUE, MNEMONIC_TABLE, MODULE_NAME, CONFIG_BITSTREAM,
        STRING_PROPERTY_COUNT
    };
    // Which copy an access means: 0 the power-up copy, 1 the normal copy, 2 by context.
    enum SEDQ_IS_POWERUP_TRIGGER
    {
        POWERUP_COPY = 0,
        NORMAL_COPY = 1,
        BY_CONTEXT = 2
    };

    struct INT_ROW
    {
        int id;
        const char* key;
        const char* label;
        int default_value;
        bool runtime_configurable;
        bool user_configurable;
    };
    struct STRING_ROW
    {
        int id;
        const char* key;
        const char* label;
        bool runtime_configurable;
        bool user_configurable;
    };
    struct INT_ENTRY
    {
        int value = 0;
        bool is_blank = false;
        bool is_defined = true;
    };
    struct STRING_ENTRY
    {
        QString value;
        bool is_defined = false;
    };

    static const INT_ROW INT_TABLE[INT_PROPERTY_COUNT];
    static const STRING_ROW STRING_TABLE[STRING_PROPERTY_COUNT];

    SEDQ_PROPERTY();
    virtual ~SEDQ_PROPERTY();
    SEDQ_PROPERTY(const SEDQ_PROPERTY& other);
    // Copies only the entries that are defined in the source; parent and union state stay.
    SEDQ_PROPERTY& operator=(const SEDQ_PROPERTY& other);
    // Makes the bag what a new one is: every entry at its default, no union begun, no parent.
    void reset();

    INT_ENTRY& get_int_data(int property, SEDQ_IS_POWERUP_TRIGGER copy);
    const INT_ENTRY& get_int_data(int property, SEDQ_IS_POWERUP_TRIGGER copy) const;
    STRING_ENTRY& get_string_data(int property, SEDQ_IS_POWERUP_TRIGGER copy);
    const STRING_ENTRY& get_string_data(int property, SEDQ_IS_POWERUP_TRIGGER copy) const;

    // Reads by context. They are the hottest path of layout, painting and equation writing: a
    // property that is never configurable at run time has one copy that counts, read at once.
    int operator[](SEDQ_INT_PROPERTY property) const
    {
        if (unsigned(property) < unsigned(INT_PROPERTY_COUNT) && !INT_TABLE[property].runtime_configurable)
            return m_int[NORMAL_COPY][property].value;
        return get_int_data(property, BY_CONTEXT).value;
    }
    const QString& operator[](SEDQ_STRING_PROPERTY property) const
    {
        if (unsigned(property) < unsigned(STRING_PROPERTY_COUNT) && !STRING_TABLE[property].runtime_configurable)
            return m_string[NORMAL_COPY][property].value;
        return get_string_data(property, BY_CONTEXT).value;
    }
    bool get(SEDQ_INT_PROPERTY property, int* value) const;
    void set(SEDQ_INT_PROPERTY property, int value, SEDQ_IS_POWERUP_TRIGGER copy = BY_CONTEXT);
    void set(SEDQ_STRING_PROPERTY property, const QString& value, SEDQ_IS_POWERUP_TRIGGER copy = BY_CONTEXT);

    // Storing: false for what a fresh bag would hold (undefined, blank, default, empty).
    bool get(SEDQ_INT_PROPERTY property, QString* text, SEDQ_IS_POWERUP_TRIGGER copy) const;
    bool get(SEDQ_STRING_PROPERTY property, QString* text, SEDQ_IS_POWERUP_TRIGGER copy) const;

    bool get_setting_text(SEDQ_INT_PROPERTY property, QString* text, SEDQ_IS_POWERUP_TRIGGER copy) const;
    bool set_setting_text(SEDQ_INT_PROPERTY property, const QString& text, SEDQ_IS_POWERUP_TRIGGER copy);
    bool get_setting_text(SEDQ_STRING_PROPERTY property, QString* text, SEDQ_IS_POWERUP_TRIGGER copy) const;
    bool set_setting_text(SEDQ_STRING_PROPERTY property, const QString& text, SEDQ_IS_POWERUP_TRIGGER copy);

    // The attribute reader: a "powerup_" prefix selects the power-up copy; unknown keys
    // and unknown enumerated words are ignored.
    void set(char const* key, char const* value);
    void set(const QString& key, const QString& value);
    // An attribute key or value as stored (8-bit text) turned back into text; null gives "".
    static QString attribute_text(char const* text);
    bool duplicate_trigger(bool to_powerup);

    // Kinds and configurability (sedq_property_union.cpp).
    // Whether the property applies to the bag's kind; a bag of kind 0 (a union of several
    // kinds) answers for the properties all of them take.
    bool is_used(SEDQ_STRING_PROPERTY property) const;
    bool is_used(SEDQ_INT_PROPERTY property) const;
    // A user-configurable property is `selectable`, and configurable while the object's one
    // `configurable` setting is 0; any other is configurable exactly when its row says so.
    bool get_configurable(SEDQ_INT_PROPERTY property, bool* configurable, bool* selectable) const;
    bool get_configurable(SEDQ_STRING_PROPERTY property, bool* configurable, bool* selectable) const;
    // "Yes" or "No" when selectable, else "Always" or "Never".
    bool get_configurable_text(SEDQ_INT_PROPERTY property, QString* text) const;
    bool get_configurable_text(SEDQ_STRING_PROPERTY property, QString* text) const;
    // Sets the object's one `configurable` setting (1 makes every selectable property fixed).
    bool set_configurable(SEDQ_INT_PROPERTY property, bool configurable);
    bool set_configurable(SEDQ_STRING_PROPERTY property, bool configurable);
    // Folds one more object's bag into this bag, which then stands for a multiple selection:
    // an entry stays defined only where every folded bag holds the same value, and the
    // applicable properties are those of every folded kind.
    void union_property(const SEDQ_PROPERTY& other);

    // Every change of any bag counts, for what is computed from objects and kept while they stay
    // as they were: all changes, and those of what an object means (not where it stands, whether
    // it is selected or whether its inputs are shown). Writable entry access counts as a change.
    static quint64 change_count();
    static quint64 content_change_count();
    static void note_change(bool content);
    static bool is_layout_property(int property);

    void set_parent(SEDQ_OBJECT* parent) { m_parent = parent; }
    SEDQ_OBJECT* get_parent() { return m_parent; }
    const SEDQ_OBJECT* get_parent() const { return m_parent; }

    // The setting texts of an enumerated property (null for numeric ones) and their count.
    static const char* const* enum_texts(int property, int* count);

private:
    int resolve_int(int property, SEDQ_IS_POWERUP_TRIGGER copy) const;
    int resolve_string(int property, SEDQ_IS_POWERUP_TRIGGER copy) const;
    int resolve_context(bool runtime_configurable, bool user_configurable) const;

    bool is_used_bit(int bit) const;
    bool get_configurable(bool runtime_configurable, bool user_configurable, bool* configurable,
                          bool* selectable) const;
    bool get_configurable_text(bool runtime_configurable, bool user_configurable, QString* text) const;
    // The applicability mask of the kind this bag holds.
    unsigned int kind_mask() const;

    INT_ENTRY m_int[2][INT_PROPERTY_COUNT];
    STRING_ENTRY m_string[2][STRING_PROPERTY_COUNT];
    unsigned int m_union_mask = 0;
    bool m_union_started = false;
    SEDQ_OBJECT* m_parent = nullptr;
};
