#pragma once
// Decoder plug-in record of a group row: which plug-in decodes the bus, its mnemonic table,
// the option values the user chose and the trigger symbol per level. A plain value, copied
// with its row into undo snapshots; the live plug-in handle is the only field not saved.

#include <QByteArray>
#include <QMap>
#include <QVector>

class SDR_PLUGIN_GROUP
{
public:
    struct USER_OPTION
    {
        QByteArray name;
        QByteArray value;
        int type = 0; // 0 string, 1 number, 2 file; other codes are kept as read
        QByteArray description;
    };
    struct INTERNAL_OPTION
    {
        QByteArray name;
        QByteArray value;
    };

    // A new record takes the next static table index of the process, so no two records
    // share the index under which a data log keeps their decoded table.
    SDR_PLUGIN_GROUP();
    // For the file reader: a record with a stored index; later new records never reuse it.
    explicit SDR_PLUGIN_GROUP(int static_table_index);

    void set_plugin_name(const char* name) { m_plugin_name = QByteArray(name ? name : ""); }
    void set_table_name(const char* name) { m_table_name = QByteArray(name ? name : ""); }
    void set_width(int width) { m_width = width; }
    void clear_user_options() { m_user_options.clear(); }
    void add_user_option(const char* name, const char* value, int type, const char* description);
    void clear_internal_options() { m_internal_options.clear(); }
    void add_internal_option(const char* name, const char* value);
    void set_table_handle(void* handle) { m_table_handle = handle; }
    void set_trigger_symbol(int level, const char* symbol);

    const char* get_plugin_name() const { return m_plugin_name.constData(); }
    const char* get_table_name() const { return m_table_name.constData(); }
    int get_width() const { return m_width; }
    int get_user_option_count() const { return m_user_options.size(); }
    // False out of range (outputs untouched); null outputs are skipped.
    bool get_user_option(int index, const char** name, const char** value, int* type,
                         const char** description) const;
    int get_internal_option_count() const { return m_internal_options.size(); }
    bool get_internal_option(int index, const char** name, const char** value) const;
    void* get_table_handle() const { return m_table_handle; }
    // "" when the level has no symbol.
    const char* get_trigger_symbol(int level) const;
    int get_static_table_index() const { return m_static_table_index; }
    // The identifier under which a data log keeps the decoded table of this group.
    int get_plugin_id() const { return m_static_table_index; }

    // Stored symbols by level, for the file writer.
    const QMap<int, QByteArray>& get_trigger_symbols() const { return m_trigger_symbols; }

    // Takes every setting of `other` but keeps this record's own static table index and handle
    // (a copied group decodes into its own table).
    void copy_settings_from(const SDR_PLUGIN_GROUP& other);

    // Equality of the saved content (the handle is not compared).
    bool operator==(const SDR_PLUGIN_GROUP& other) const;
    bool operator!=(const SDR_PLUGIN_GROUP& other) const { return !(*this == other); }

private:
    QByteArray m_plugin_name;
    QByteArray m_table_name;
    int m_width = 0;
    QVector<USER_OPTION> m_user_options;
    QVector<INTERNAL_OPTION> m_internal_options;
    QMap<int, QByteArray> m_trigger_symbols;
    void* m_table_handle = nullptr;
    int m_static_table_index = -1;
};
