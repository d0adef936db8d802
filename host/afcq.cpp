// Application-framework stand-in: action factory, safe connect and generated resources.
#include "host/afcq.h"
#include "host/afcq_private.h"

#include "host/standin/afcq_control.h"
#include "host/standin/standin.h"

#include <QAction>
#include <QMetaObject>
#include <QPointer>

#include <map>

namespace
{
struct afcq_state
{
    std::map<int, QPointer<QAction>> last_action;
    std::map<int, int> created;
};

afcq_state& state()
{
    static afcq_state s;
    return s;
}

void reset()
{
    state() = afcq_state();
}

const standin::reset_registrar registrar(&reset);

// The texts of the shared actions. An id the host does not know reads "Action <id>": no action
// the analyzer asks for is such an id.
const std::map<int, const char*>& known_texts()
{
    static const std::map<int, const char*> texts = {
        {AFCQ_SEDQ_AUTORUN_ACTION, "&Autorun Analysis"},
        {AFCQ_SEDQ_READ_DATA_ACTION, "Rea&d Data"},
        {AFCQ_SEDQ_RUN_ACTION, "&Run Analysis"},
        {AFCQ_SEDQ_STOP_ACTION, "&Stop Analysis"},
        {AFCQ_EDIT_COPY_ACTION, "&Copy"},
        {AFCQ_EDIT_CUT_ACTION, "Cu&t"},
        {AFCQ_SEDQ_LOGGING_ACTION, "Data &Log"},
        {AFCQ_SEDQ_SAVE_TO_LOG_ACTION, "Sa&ve to Log"},
        {AFCQ_EDIT_PASTE_ACTION, "&Paste"},
        {AFCQ_EDIT_REDO_ACTION, "&Redo"},
        {AFCQ_EDIT_UNDO_ACTION, "&Undo"},
        {AFCQ_EDIT_DELETE_ACTION, "&Delete"},
        {AFCQ_EDIT_FIND_ACTION, "&Find..."},
        {AFCQ_EDIT_FIND_NEXT_ACTION, "Find &Next"},
        {AFCQ_SEDQ_LOCK_MODE_ALL_ACTION, "Allow all changes"},
        {AFCQ_SEDQ_LOCK_MODE_INCREMENTAL_ACTION, "Allow incremental route changes only"},
        {AFCQ_SEDQ_LOCK_MODE_TRIGGER_ACTION, "Allow trigger condition changes only"},
        {AFCQ_EDIT_SELECT_ALL_ACTION, "Select &All"},
        {AFCQ_SEDQ_CENTER_ON_TRIGGER_ACTION, "&Center on Trigger"},
        {AFCQ_SEDQ_FIT_IN_WINDOW_ACTION, "&Fit in Window"},
        {AFCQ_SEDQ_ZOOM_IN_ACTION, "Zoom &In"},
        {AFCQ_SEDQ_ZOOM_OUT_ACTION, "Zoom &Out"},
        {AFCQ_SEDQ_EXPORT_DATA_ACTION, "&Export..."},
        {AFCQ_SEDQ_ADD_INSTANCE_ACTION, "&Add Instance"},
        {AFCQ_SEDQ_DELETE_INSTANCE_ACTION, "&Delete Instance"},
        {AFCQ_SEDQ_DISABLE_POWERUP_ACTION, "Disable &Power-Up Trigger"},
        {AFCQ_SEDQ_DUPLICATE_TRIGGER_ACTION, "D&uplicate Trigger"},
        {AFCQ_SEDQ_ENABLE_POWERUP_ACTION, "&Enable Power-Up Trigger"},
        {AFCQ_SEDQ_RENAME_INSTANCE_ACTION, "Re&name Instance"},
        {AFCQ_SEDQ_INSTANCE_STATUS_HELP_ACTION, "Instance &Status Help"},
        {AFCQ_SEDQ_INSERT_NODES_ACTION, "&Insert Nodes..."},
        {AFCQ_SEDQ_ADD_STATE_MACHINE_ACTION, "Add State &Machine Nodes..."},
        {AFCQ_SEDQ_BUS_ASCII_ACTION, "&ASCII"},
        {AFCQ_SEDQ_BUS_BAR_CHART_ACTION, "Unsigned &Line Chart"},
        {AFCQ_SEDQ_BUS_BINARY_ACTION, "&Binary"},
        {AFCQ_SEDQ_BUS_DOUBLE_ACTION, "&Double Precision"},
        {AFCQ_SEDQ_BUS_FLOAT_ACTION, "&Single Precision"},
        {AFCQ_SEDQ_BUS_DISPLAY_FORMAT_ACTION, "&Hexadecimal"},
        {AFCQ_SEDQ_BUS_LINE_CHART_ACTION, "Signed Line &Chart"},
        {AFCQ_SEDQ_BUS_OCTAL_ACTION, "&Octal"},
        {AFCQ_SEDQ_BUS_SIGNED_BAR_CHART_ACTION, "Unsigned Ba&r Chart"},
        {AFCQ_SEDQ_BUS_SIGNED_LINE_CHART_ACTION, "Signed Bar Char&t"},
        {AFCQ_SEDQ_BUS_SIGNED_MAGNITUDE_ACTION, "Signed &Magnitude Decimal"},
        {AFCQ_SEDQ_BUS_TWOS_COMPLEMENT_ACTION, "&Signed Decimal"},
        {AFCQ_SEDQ_BUS_UNSIGNED_ACTION, "&Unsigned Decimal"},
        {AFCQ_SEDQ_CREATE_LIST_FILE_ACTION, "Create &List File"},
        {AFCQ_SEDQ_DATA_DISABLE_ACTION, "Disable &Data"},
        {AFCQ_SEDQ_DATA_ENABLE_ACTION, "Enable D&ata"},
        {AFCQ_SEDQ_REMOVE_ALIAS_ACTION, "Remove Al&ias"},
        {AFCQ_SEDQ_FIND_BUS_VALUE_ACTION, "Find &Bus Value..."},
        {AFCQ_SEDQ_FIND_NEXT_BUS_VALUE_ACTION, "Find Ne&xt Bus Value"},
        {AFCQ_SEDQ_FIND_PREVIOUS_BUS_VALUE_ACTION, "Find Pre&vious Bus Value"},
        {AFCQ_SEDQ_GROUP_ACTION, "&Group..."},
        {AFCQ_SEDQ_BUS_LSB_TO_MSB_ACTION, "Show &LSB on Left"},
        {AFCQ_SEDQ_MNEMONIC_TABLE_SETUP_ACTION, "&Mnemonic Table Setup..."},
        {AFCQ_SEDQ_BUS_MSB_TO_LSB_ACTION, "Show MS&B on Left"},
        {AFCQ_SEDQ_PASTE_ALIAS_ACTION, "Paste Ali&as"},
        {AFCQ_SEDQ_PLUGIN_OPTIONS_ACTION, "Plug-In &Options..."},
        {AFCQ_SEDQ_RECREATE_MNEMONICS_ACTION, "&Recreate State Machine Mnemonics"},
        {AFCQ_SEDQ_RENAME_NODE_ACTION, "Rena&me..."},
        {AFCQ_SEDQ_SET_ALIAS_ACTION, "Set Ali&as..."},
        {AFCQ_SEDQ_COMPARISON_TRIGGER_ACTION, "&Comparison..."},
        {AFCQ_SEDQ_GROUP_TRIGGER_CONDITION_ACTION, "&Value"},
        {AFCQ_SEDQ_PATTERN_CONDITION_ACTION, "&Pattern"},
        {AFCQ_SEDQ_ANY_BIT_RISING_CONDITION_ACTION, "Any Bit &Rising"},
        {AFCQ_SEDQ_ANY_BIT_FALLING_CONDITION_ACTION, "Any Bit &Falling"},
        {AFCQ_SEDQ_NOT_VALUE_CONDITION_ACTION, "&Not Value"},
        {AFCQ_SEDQ_ANY_BIT_HIGH_CONDITION_ACTION, "Any Bit &High"},
        {AFCQ_SEDQ_ANY_BIT_EITHER_EDGE_CONDITION_ACTION, "Any Bit &Either Edge"},
        {AFCQ_SEDQ_ANY_BIT_CHANGED_CONDITION_ACTION, "Any Bit &Changed"},
        {AFCQ_SEDQ_ANY_BIT_LOW_CONDITION_ACTION, "Any Bit &Low"},
        {AFCQ_SEDQ_ALIGN_LEFT_ACTION, "Align &Left"},
        {AFCQ_SEDQ_ALIGN_RIGHT_ACTION, "Align &Right"},
        {AFCQ_SEDQ_INVERT_SIGNAL_ACTION, "&Invert Signal"},
        {AFCQ_SEDQ_POST_FITTING_ACTION, "Post-&Fitting"},
        {AFCQ_SEDQ_PRE_SYNTHESIS_ACTION, "&Pre-Synthesis"},
        {AFCQ_SEDQ_TRIGGER_CONDITION_ACTION, "&Don't Care"},
        {AFCQ_SEDQ_EITHER_EDGE_CONDITION_ACTION, "&Either Edge"},
        {AFCQ_SEDQ_FALLING_EDGE_CONDITION_ACTION, "&Falling Edge"},
        {AFCQ_SEDQ_HIGH_CONDITION_ACTION, "&High"},
        {AFCQ_SEDQ_INSERT_TRIGGER_VALUE_ACTION, "&Insert Value..."},
        {AFCQ_SEDQ_LOW_CONDITION_ACTION, "&Low"},
        {AFCQ_SEDQ_RISING_EDGE_CONDITION_ACTION, "&Rising Edge"},
        {AFCQ_SEDQ_UNGROUP_NESTED_ACTION, "Ungroup &Nested Groups"},
        {AFCQ_SEDQ_DELETE_TIME_BAR_ACTION, "&Delete Time Bar"},
        {AFCQ_SEDQ_DELETE_ALL_TIME_BARS_ACTION, "Delete &All Time Bars"},
        {AFCQ_SEDQ_INSERT_TIME_BAR_ACTION, "&Insert Time Bar..."},
        {AFCQ_SEDQ_INSERT_MASTER_TIME_BAR_ACTION, "Insert &Master Time Bar"},
        {AFCQ_SEDQ_MOVE_MASTER_TIME_BAR_ACTION, "&Move Master Time Bar"},
        {AFCQ_SEDQ_NEXT_TRANSITION_ACTION, "&Next Transition"},
        {AFCQ_SEDQ_PREVIOUS_TRANSITION_ACTION, "&Previous Transition"},
        {AFCQ_SEDQ_INSERT_MASTER_TIME_BAR_ALT_ACTION, "Set as Master &Time Bar"},
        {AFCQ_SEDQ_SAMPLE_NUMBERS_ACTION, "&Sample Numbers"},
        {AFCQ_SEDQ_TIME_UNITS_ACTION, "&Time Units..."},
        {AFCQ_SEDQ_STORAGE_DISABLE_ACTION, "Disable Stora&ge"},
        {AFCQ_SEDQ_STORAGE_ENABLE_ACTION, "Enable Stor&age"},
        {AFCQ_SEDQ_TRANSITION_DISABLE_ACTION, "Disable Transitio&nal"},
        {AFCQ_SEDQ_TRANSITION_ENABLE_ACTION, "Enable Transi&tional"},
        {AFCQ_SEDQ_TRIGGER_DISABLE_ACTION, "Disable &Trigger"},
        {AFCQ_SEDQ_TRIGGER_ENABLE_ACTION, "Enable Tri&gger"},
        {AFCQ_SEDQ_UNGROUP_ACTION, "&Ungroup"},
        {AFCQ_SEDQ_TOOLBAR_FIND_ACTION, "Find"},
        {AFCQ_SEDQ_TOOLBAR_START_COMPILE_ACTION, "Start Compilation"},
        {AFCQ_SEDQ_TOOLBAR_START_RECOMPILE_ACTION, "Start Relayne"},
        {AFCQ_SEDQ_TOOLBAR_WAVEFORM_CENTER_ON_TRIGGER_ACTION, "Center on Trigger"},
        {AFCQ_SEDQ_LOG_PANE_ACTION, "&Data Log"},
        {AFCQ_SEDQ_HIERARCHY_PANE_ACTION, "&Hierarchy Display"},
        {AFCQ_SEDQ_INSTANCE_PANE_ACTION, "&Instance Manager"},
        {AFCQ_SEDQ_JTAG_PANE_ACTION, "&JTAG Chain Configuration"},
        {AFCQ_SEDQ_CONFIG_PANE_ACTION, "&Signal Configuration"},
        {AFCQ_SEDQ_OBJECT_ARRANGE_ALL_ACTION, "Arrange All &Objects"},
        {AFCQ_SEDQ_OBJECT_RENAME_ACTION, "Re&name"},
        {AFCQ_SEDQ_OBJECT_DETACH_ACTION, "De&tach"},
        {AFCQ_SEDQ_OBJECT_INSERT_ACTION, "&Insert"},
        {AFCQ_SEDQ_OBJECT_REMOVE_ACTION, "Re&move"},
        {AFCQ_SEDQ_OBJECT_APPEND_ACTION, "A&ppend"},
        {AFCQ_SEDQ_OBJECT_MOVE_UP_ACTION, "Move &Up"},
        {AFCQ_SEDQ_OBJECT_MOVE_DOWN_ACTION, "Move Do&wn"},
        {AFCQ_SEDQ_OBJECT_EXPAND_ACTION, "&Expand"},
        {AFCQ_SEDQ_OBJECT_COLLAPSE_ACTION, "Co&llapse"},
        {AFCQ_SEDQ_OBJECT_PROPERTIES_ACTION, "P&roperties..."},
        {AFCQ_SEDQ_LOG_DELETE_ACTION, "&Delete"},
        {AFCQ_SEDQ_LOG_RENAME_ACTION, "Re&name"},
        {AFCQ_SEDQ_LOG_SELECT_ALL_ACTION, "Select &All"},
        {AFCQ_SEDQ_SOF_ATTACH_ACTION, "&Attach SOF File..."},
        {AFCQ_SEDQ_SOF_DELETE_ACTION, "&Delete"},
        {AFCQ_SEDQ_SOF_EXTRACT_ACTION, "E&xtract SOF File..."},
        {AFCQ_SEDQ_SOF_PROGRAM_ACTION, "&Program Device"},
        {AFCQ_SEDQ_SOF_RENAME_ACTION, "Re&name"},
        {AFCQ_EDIT_GO_TO_ACTION, "&Go To..."},
        {AFCQ_EDIT_REPLACE_ACTION, "R&eplace..."},
    };
    return texts;
}

// A bijection of the 24-bit colour space (odd multiplier), so distinct ids below 2^24
// always give distinct colours; `salt` keeps the kinds apart.
QColor colour_of(int id, unsigned salt)
{
    const unsigned rgb = (static_cast<unsigned>(id) * 0x9E3779u + salt) & 0xFFFFFFu;
    return QColor::fromRgb(static_cast<QRgb>(0xFF000000u | rgb));
}

// The platform's keys of the host's commands, by object name: the shared actions by id, the
// host's own entries by their button names.
const std::map<QString, QKeySequence::StandardKey>& standard_key_table()
{
    static const std::map<QString, QKeySequence::StandardKey> keys = {
        {QStringLiteral("AFCQ_NEW_ACTION"), QKeySequence::New},
        {QStringLiteral("AFCQ_OPEN_ACTION"), QKeySequence::Open},
        {QStringLiteral("AFCQ_SAVE_ACTION"), QKeySequence::Save},
        {QStringLiteral("AFCQ_SAVE_AS_ACTION"), QKeySequence::SaveAs},
        {QStringLiteral("AFCQ_PRINT_ACTION"), QKeySequence::Print},
        {QStringLiteral("AFCQ_EXIT_ACTION"), QKeySequence::Quit},
        {QStringLiteral("AFCQ_%1").arg(AFCQ_EDIT_UNDO_ACTION), QKeySequence::Undo},
        {QStringLiteral("AFCQ_%1").arg(AFCQ_EDIT_REDO_ACTION), QKeySequence::Redo},
        {QStringLiteral("AFCQ_%1").arg(AFCQ_EDIT_CUT_ACTION), QKeySequence::Cut},
        {QStringLiteral("AFCQ_%1").arg(AFCQ_EDIT_COPY_ACTION), QKeySequence::Copy},
        {QStringLiteral("AFCQ_%1").arg(AFCQ_EDIT_PASTE_ACTION), QKeySequence::Paste},
        {QStringLiteral("AFCQ_%1").arg(AFCQ_EDIT_DELETE_ACTION), QKeySequence::Delete},
        {QStringLiteral("AFCQ_%1").arg(AFCQ_EDIT_SELECT_ALL_ACTION), QKeySequence::SelectAll},
        {QStringLiteral("AFCQ_%1").arg(AFCQ_EDIT_FIND_ACTION), QKeySequence::Find},
        {QStringLiteral("AFCQ_%1").arg(AFCQ_EDIT_REPLACE_ACTION), QKeySequence::Replace},
        {QStringLiteral("AFCQ_%1").arg(AFCQ_SEDQ_ZOOM_IN_ACTION), QKeySequence::ZoomIn},
        {QStringLiteral("AFCQ_%1").arg(AFCQ_SEDQ_ZOOM_OUT_ACTION), QKeySequence::ZoomOut},
    };
    return keys;
}

QByteArray normalised_member(const char* member)
{
    return QMetaObject::normalizedSignature(member + 1);
}
} // namespace

namespace afcq_detail
{
QList<QKeySequence> standard_keys(const QString& action_name)
{
    // Find Next has the host's own key, the one a user may change.
    if (action_name == QStringLiteral("AFCQ_%1").arg(AFCQ_EDIT_FIND_NEXT_ACTION))
        return {QKeySequence(afcq_get_custom_shortcut(AFCQ_EDIT_FIND_NEXT_ACTION))};
    const auto& table = standard_key_table();
    const auto it = table.find(action_name);
    return it != table.end() ? QKeySequence::keyBindings(it->second) : QList<QKeySequence>();
}
} // namespace afcq_detail

QAction* afcq_create_action(AFCQ_ACTION_ENUM id, QObject* parent)
{
    const auto& texts = known_texts();
    const auto it = texts.find(id);
    const QString text =
        it != texts.end() ? QString::fromLatin1(it->second) : QStringLiteral("Action %1").arg(id);
    QAction* action = new QAction(text, parent);
    action->setObjectName(QStringLiteral("AFCQ_%1").arg(id));
    action->setIcon(afcq_detail::action_icon(action->objectName()));
    action->setShortcuts(afcq_detail::standard_keys(action->objectName()));
    auto& s = state();
    s.last_action[id] = action;
    ++s.created[id];
    standin::record_call("afcq:afcq_create_action(" + std::to_string(id) + ")");
    return action;
}

bool afcq_safe_connect(QObject* sender, const char* signal, QObject* receiver, const char* slot)
{
    if (!sender || !receiver || !signal || !slot || !*signal || !*slot)
        return false;
    if (sender->metaObject()->indexOfSignal(normalised_member(signal)) < 0)
        return false;
    const QByteArray method = normalised_member(slot);
    const QMetaObject* meta = receiver->metaObject();
    if (meta->indexOfSlot(method) < 0 && meta->indexOfSignal(method) < 0)
        return false;
    return static_cast<bool>(QObject::connect(sender, signal, receiver, slot));
}

namespace
{
// The host theme of the resources the node table draws with: each role its own colour, in
// the light scheme of the host. Any other id gets a colour of its own from colour_of.
const std::map<int, QRgb>& themed_colours()
{
    static const std::map<int, QRgb> colours = {
        {AFCQ_COLOR_CELL_OUTLINE, 0xFF404040u},       // outer ring of cell frames, drop marker
        {AFCQ_COLOR_INVALID_NAME, 0xFFC00000u},       // name of an invalid node
        {AFCQ_COLOR_SELECTION, 0xFF308CC6u},          // selection with focus
        {AFCQ_COLOR_IDLE, 0xFFFFFFFFu},               // view and name background
        {AFCQ_COLOR_COLUMN_HEADER, 0xFF202020u},      // column titles
        {AFCQ_COLOR_PRE_SYNTHESIS_NAME, 0xFF000000u}, // node name
        {AFCQ_COLOR_POST_FITTING_NAME, 0xFF006400u},  // post-fitting name under incremental compilation
        {AFCQ_COLOR_GROUP_NAME, 0xFF003C78u},         // group and bus name
        {AFCQ_COLOR_TRIGGER_MNEMONIC, 0xFF8B4513u},   // bus trigger text of comparisons and symbols
        {AFCQ_COLOR_DUPLICATED_NODE, 0xFF808080u},    // name of a node of the data tab only
        {AFCQ_COLOR_TIME_BAR, 0xFF1E50D2u},           // time-bar lines and ruler ticks
        {AFCQ_COLOR_TRIGGER_POSITION, 0xFFD21E1Eu},   // trigger marker lines
        {AFCQ_COLOR_END_OF_SAMPLES, 0xFF5A5A5Au},     // start and end of the data
        {AFCQ_COLOR_WAVEFORM_GRID, 0xFFE6E6E6u},      // vertical grid
        {AFCQ_COLOR_DATA_MNEMONIC, 0xFF8B4500u},      // symbolic value text at a value change
        {AFCQ_COLOR_SAMPLE_NUMBER, 0xFF1E1E78u},      // position texts of the ruler and the time bars
        {AFCQ_COLOR_SEGMENT_NUMBER, 0xFF006464u},     // segment texts of the ruler and the time bars
        {AFCQ_COLOR_BUS_VALUE, 0xFF1F5FAFu},          // bus bands, charts and plain value texts
    };
    return colours;
}

const std::map<int, QRgb>& themed_brushes()
{
    static const std::map<int, QRgb> brushes = {
        {AFCQ_BRUSH_CELL_FACE, 0xFFF0F0F0u},     // cell face, disabled cells, title row
        {AFCQ_BRUSH_WAVEFORM_GRID, 0xFFE0E0E0u}, // grid of waveform cells
        {AFCQ_BRUSH_CELL_BORDER, 0xFFC0C0C0u},   // plain cell borders
    };
    return brushes;
}

const std::map<int, QRgb>& themed_pens()
{
    static const std::map<int, QRgb> pens = {
        {AFCQ_PEN_TRIGGER_VALUE, 0xFF000000u},  // bus trigger text
        {AFCQ_PEN_SELECTED_VALUE, 0xFFFFFFF0u}, // bus trigger text, selected with focus
        {AFCQ_PEN_TEXT, 0xFF202020u},           // lock-mode title, expand box, selected name without focus
        {AFCQ_PEN_SELECTED_TEXT, 0xFFFFFFFFu},  // selected text with focus
        {AFCQ_PEN_DISABLED_TEXT, 0xFF808080u},  // disabled text, empty-view messages
        {AFCQ_PEN_WAVE_HIGH, 0xFF007800u},      // high level of a one-bit waveform
        {AFCQ_PEN_WAVE_LOW, 0xFF009600u},       // low level and edges of a one-bit waveform
    };
    return pens;
}

QColor themed_or_hashed(const std::map<int, QRgb>& theme, int id, unsigned salt)
{
    const auto it = theme.find(id);
    return it != theme.end() ? QColor::fromRgb(it->second) : colour_of(id, salt);
}
} // namespace

QColor AFCQ_COLOR::get_color() const
{
    return themed_or_hashed(themed_colours(), m_id, 0x123456u);
}

QBrush AFCQ_BRUSH::get_brush() const
{
    return QBrush(themed_or_hashed(themed_brushes(), m_id, 0x654321u), Qt::SolidPattern);
}

QPen AFCQ_PEN::get_pen() const
{
    return QPen(QBrush(themed_or_hashed(themed_pens(), m_id, 0x2468ACu)), 1.0);
}

// Families every offscreen test machine can resolve or substitute; the point size and
// family together keep up to 3 * 12 ids apart, the weight and slant extend that further.
QFont AFCQ_FONT::get_font() const
{
    // The node table's fonts: title, column titles, names by kind and time-bar labels. Their
    // own families keep them apart from the fonts of the other ids.
    static const std::map<int, QFont> theme = {
        {AFCQ_FONT_WINDOW_TITLE, QFont(QStringLiteral("DejaVu Sans"), 10, QFont::Bold)},
        {AFCQ_FONT_COLUMN_HEADER, QFont(QStringLiteral("DejaVu Sans"), 8)},
        {AFCQ_FONT_PRE_SYNTHESIS_NAME, QFont(QStringLiteral("DejaVu Sans"), 9)},
        {AFCQ_FONT_POST_FITTING_NAME, QFont(QStringLiteral("DejaVu Sans"), 9, QFont::Normal, true)},
        {AFCQ_FONT_GROUP_NAME, QFont(QStringLiteral("DejaVu Sans"), 9, QFont::Bold)},
        {AFCQ_FONT_MASTER_SAMPLE_NUMBER, QFont(QStringLiteral("DejaVu Sans"), 7, QFont::Bold)},
        {AFCQ_FONT_SAMPLE_NUMBER, QFont(QStringLiteral("DejaVu Sans"), 7)},
        {AFCQ_FONT_MASTER_SEGMENT_NUMBER, QFont(QStringLiteral("DejaVu Sans Mono"), 7, QFont::Bold)},
        {AFCQ_FONT_SEGMENT_NUMBER, QFont(QStringLiteral("DejaVu Sans Mono"), 7)},
        {AFCQ_FONT_DUPLICATED_NODE, QFont(QStringLiteral("DejaVu Serif"), 9, QFont::Normal, true)},
    };
    const auto themed = theme.find(m_id);
    if (themed != theme.end())
        return themed->second;
    static const char* const families[] = {"Sans Serif", "Serif", "Monospace"};
    // Negated in unsigned arithmetic: the most negative int has no positive counterpart, and
    // a negative index would read outside the family list.
    const unsigned id = m_id < 0 ? 0u - static_cast<unsigned>(m_id) : static_cast<unsigned>(m_id);
    QFont font(QString::fromLatin1(families[id % 3]), 7 + static_cast<int>((id / 3) % 12));
    font.setBold((id / 36) % 2 != 0);
    font.setItalic((id / 72) % 2 != 0);
    return font;
}

namespace standin::afcq
{
QAction* created_action(int id)
{
    const auto& last = state().last_action;
    const auto it = last.find(id);
    return it == last.end() ? nullptr : it->second.data();
}

int created_count(int id)
{
    const auto& created = state().created;
    const auto it = created.find(id);
    return it == created.end() ? 0 : it->second;
}
} // namespace standin::afcq
