#pragma once
// Host user registry: persisted user settings read through a registry key.

#include <QVariant>

// Names of the analyzer's user settings, in the order the analyzer reads them.
extern const char* const CFGQ_SEDQ_SHOW_DUPLICATE_BUTTONS_STR;
extern const char* const CFGQ_SEDQ_LINK_GROUPS_STR;
extern const char* const CFGQ_SEDQ_LINK_PROPERTIES_STR;
extern const char* const CFGQ_SEDQ_LINK_ORDER_STR;
extern const char* const CFGQ_SEDQ_LINK_MNEMONICS_STR;
extern const char* const CFGQ_SEDQ_AUTO_RECOMPILE_STR;
extern const char* const CFGQ_SEDQ_SHOW_HORZ_GRID_STR;
extern const char* const CFGQ_SEDQ_INTER_LINE_SPACING_STR;
extern const char* const CFGQ_SEDQ_ALIGN_LEFT_STR;
extern const char* const CFGQ_SEDQ_SHOW_LEADING_ZEROES_STR;
extern const char* const CFGQ_SEDQ_SHOW_VERT_GRID_STR;
extern const char* const CFGQ_SEDQ_SHOW_TIME_BARS_STR;
extern const char* const CFGQ_SEDQ_FIT_DATA_STR;
extern const char* const CFGQ_SEDQ_ROWPP_STR;
extern const char* const CFGQ_SEDQ_COLUMNPP_STR;
extern const char* const CFGQ_SEDQ_PAGES_WIDE_STR;
extern const char* const CFGQ_SEDQ_PAGES_TALL_STR;
extern const char* const CFGQ_SEDQ_NAME_WIDTH_STR;
extern const char* const CFGQ_SEDQ_SHOW_TYPE_STR;
extern const char* const CFGQ_SEDQ_SHOW_ALIAS_STR;
extern const char* const CFGQ_SEDQ_DISPLAY_MODE_STR;

// One key (section) of the user registry. Absent values are not defaulted: get_value says
// whether the user ever stored one.
class CFGQ_REGISTRY_KEY
{
public:
    explicit CFGQ_REGISTRY_KEY(int key);

    bool get_value(const char* name, QVariant* value) const;
    // Stores a value and writes the registry file when one is configured.
    void set_value(const char* name, const QVariant& value);

    int key() const { return m_key; }

private:
    int m_key;
};
