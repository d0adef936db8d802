#pragma once
// Host application framework: shared actions and their ids, the colour, brush, pen, font and
// icon resources that panes draw with, the host's file dialog and wait cursor, and the file
// filters and custom shortcuts of the host.

#include <QBrush>
#include <QColor>
#include <QDialog>
#include <QFileDialog>
#include <QFont>
#include <QCursor>
#include <QIcon>
#include <QList>
#include <QMenu>
#include <QMetaType>
#include <QPair>
#include <QPen>
#include <QString>
#include <QStringList>
#include <QWidget>

#include <cstdint>

class QAction;
class QFileSystemModel;
class QLineEdit;
class QObject;
class QToolButton;

// Id of a shared menu or toolbar action. The host accepts any int; these are the ids the
// analyzer uses.
enum AFCQ_ACTION_ENUM : int
{
    AFCQ_ACTION_NONE = 0,
    // The advanced trigger canvas's commands.
    AFCQ_SEDQ_OBJECT_APPEND_ACTION = 7,
    AFCQ_SEDQ_OBJECT_ARRANGE_ALL_ACTION = 8,
    AFCQ_SEDQ_OBJECT_COLLAPSE_ACTION = 9,
    AFCQ_SEDQ_OBJECT_DETACH_ACTION = 10,
    AFCQ_SEDQ_OBJECT_EXPAND_ACTION = 11,
    AFCQ_SEDQ_OBJECT_INSERT_ACTION = 12,
    AFCQ_SEDQ_OBJECT_MOVE_DOWN_ACTION = 13,
    AFCQ_SEDQ_OBJECT_MOVE_UP_ACTION = 14,
    AFCQ_SEDQ_OBJECT_PROPERTIES_ACTION = 15, // properties of the selected trigger objects
    AFCQ_SEDQ_OBJECT_REMOVE_ACTION = 16,
    AFCQ_SEDQ_OBJECT_RENAME_ACTION = 17,
    AFCQ_SEDQ_AUTORUN_ACTION = 19, // repeat (autorun) acquisition
    AFCQ_SEDQ_READ_DATA_ACTION = 21,
    AFCQ_SEDQ_RUN_ACTION = 22,  // run acquisition
    AFCQ_SEDQ_STOP_ACTION = 23, // stop acquisition
    AFCQ_EDIT_COPY_ACTION = 75,
    AFCQ_EDIT_CUT_ACTION = 112,
    AFCQ_SEDQ_LOG_DELETE_ACTION = 113, // data log pane
    AFCQ_SEDQ_LOGGING_ACTION = 114,    // data logging on or off
    AFCQ_SEDQ_LOG_RENAME_ACTION = 116,
    AFCQ_SEDQ_SAVE_TO_LOG_ACTION = 117,
    AFCQ_SEDQ_LOG_SELECT_ALL_ACTION = 118,
    AFCQ_EDIT_DELETE_ACTION = 120,
    AFCQ_SEDQ_EXPORT_DATA_ACTION = 154,
    AFCQ_EDIT_FIND_ACTION = 178,
    AFCQ_EDIT_FIND_NEXT_ACTION = 179,
    AFCQ_EDIT_GO_TO_ACTION = 218,
    AFCQ_SEDQ_COMPARISON_TRIGGER_ACTION = 225,
    AFCQ_SEDQ_GROUP_TRIGGER_CONDITION_ACTION = 226,
    AFCQ_SEDQ_PATTERN_CONDITION_ACTION = 227, // the group conditions of a bus, by pattern
    AFCQ_SEDQ_ANY_BIT_RISING_CONDITION_ACTION = 228,
    AFCQ_SEDQ_ANY_BIT_FALLING_CONDITION_ACTION = 229,
    AFCQ_SEDQ_NOT_VALUE_CONDITION_ACTION = 230,
    AFCQ_SEDQ_ANY_BIT_HIGH_CONDITION_ACTION = 231,
    AFCQ_SEDQ_ANY_BIT_EITHER_EDGE_CONDITION_ACTION = 232,
    AFCQ_SEDQ_ANY_BIT_CHANGED_CONDITION_ACTION = 233,
    AFCQ_SEDQ_ANY_BIT_LOW_CONDITION_ACTION = 234,
    AFCQ_SEDQ_ADD_INSTANCE_ACTION = 257,
    AFCQ_SEDQ_DELETE_INSTANCE_ACTION = 258,
    AFCQ_SEDQ_DISABLE_POWERUP_ACTION = 259,
    AFCQ_SEDQ_DUPLICATE_TRIGGER_ACTION = 260, // duplicate trigger as power-up
    AFCQ_SEDQ_ENABLE_POWERUP_ACTION = 261,
    AFCQ_SEDQ_RENAME_INSTANCE_ACTION = 262,
    AFCQ_SEDQ_INSTANCE_STATUS_HELP_ACTION = 263,
    AFCQ_SEDQ_LOCK_MODE_ALL_ACTION = 290,
    AFCQ_SEDQ_LOCK_MODE_INCREMENTAL_ACTION = 291,
    AFCQ_SEDQ_LOCK_MODE_TRIGGER_ACTION = 292,
    AFCQ_SEDQ_INSERT_NODES_ACTION = 326,
    AFCQ_SEDQ_ADD_STATE_MACHINE_ACTION = 327,
    AFCQ_SEDQ_ALIGN_LEFT_ACTION = 328,
    AFCQ_SEDQ_ALIGN_RIGHT_ACTION = 329,
    AFCQ_SEDQ_BUS_ASCII_ACTION = 330, // bus display formats, by the display type each carries
    AFCQ_SEDQ_BUS_BAR_CHART_ACTION = 331,
    AFCQ_SEDQ_BUS_BINARY_ACTION = 332,
    AFCQ_SEDQ_BUS_DOUBLE_ACTION = 333,         // 64-bit floating point
    AFCQ_SEDQ_BUS_FLOAT_ACTION = 334,          // 32-bit floating point
    AFCQ_SEDQ_BUS_DISPLAY_FORMAT_ACTION = 335, // hexadecimal, the first of the bus display formats
    AFCQ_SEDQ_BUS_LINE_CHART_ACTION = 336,
    AFCQ_SEDQ_BUS_OCTAL_ACTION = 338,
    AFCQ_SEDQ_BUS_SIGNED_BAR_CHART_ACTION = 339,
    AFCQ_SEDQ_BUS_SIGNED_LINE_CHART_ACTION = 340,
    AFCQ_SEDQ_BUS_SIGNED_MAGNITUDE_ACTION = 341,
    AFCQ_SEDQ_BUS_TWOS_COMPLEMENT_ACTION = 342, // signed decimal
    AFCQ_SEDQ_BUS_UNSIGNED_ACTION = 343,        // unsigned decimal
    AFCQ_SEDQ_CREATE_LIST_FILE_ACTION = 344,
    AFCQ_SEDQ_DATA_DISABLE_ACTION = 345,
    AFCQ_SEDQ_DATA_ENABLE_ACTION = 346,
    AFCQ_SEDQ_REMOVE_ALIAS_ACTION = 347,
    AFCQ_SEDQ_FIND_BUS_VALUE_ACTION = 349,
    AFCQ_SEDQ_FIND_NEXT_BUS_VALUE_ACTION = 350,
    AFCQ_SEDQ_FIND_PREVIOUS_BUS_VALUE_ACTION = 351,
    AFCQ_SEDQ_GROUP_ACTION = 352,
    AFCQ_SEDQ_INVERT_SIGNAL_ACTION = 353,
    AFCQ_SEDQ_BUS_LSB_TO_MSB_ACTION = 354,
    AFCQ_SEDQ_MNEMONIC_TABLE_SETUP_ACTION = 355,
    AFCQ_SEDQ_BUS_MSB_TO_LSB_ACTION = 356,
    AFCQ_SEDQ_PASTE_ALIAS_ACTION = 357,
    AFCQ_SEDQ_PLUGIN_OPTIONS_ACTION = 358,
    AFCQ_SEDQ_POST_FITTING_ACTION = 359,
    AFCQ_SEDQ_PRE_SYNTHESIS_ACTION = 360,
    AFCQ_SEDQ_RECREATE_MNEMONICS_ACTION = 361, // recreate state machine mnemonics
    AFCQ_SEDQ_RENAME_NODE_ACTION = 362,
    AFCQ_SEDQ_SET_ALIAS_ACTION = 363,
    AFCQ_SEDQ_STORAGE_DISABLE_ACTION = 364,
    AFCQ_SEDQ_STORAGE_ENABLE_ACTION = 365,
    AFCQ_SEDQ_TRANSITION_DISABLE_ACTION = 366,
    AFCQ_SEDQ_TRANSITION_ENABLE_ACTION = 367,
    AFCQ_SEDQ_TRIGGER_CONDITION_ACTION = 368, // don't care, the first of a node's conditions
    AFCQ_SEDQ_EITHER_EDGE_CONDITION_ACTION = 369,
    AFCQ_SEDQ_FALLING_EDGE_CONDITION_ACTION = 370,
    AFCQ_SEDQ_HIGH_CONDITION_ACTION = 371,
    AFCQ_SEDQ_INSERT_TRIGGER_VALUE_ACTION = 372,
    AFCQ_SEDQ_LOW_CONDITION_ACTION = 373,
    AFCQ_SEDQ_RISING_EDGE_CONDITION_ACTION = 374,
    AFCQ_SEDQ_TRIGGER_DISABLE_ACTION = 375,
    AFCQ_SEDQ_TRIGGER_ENABLE_ACTION = 376,
    AFCQ_SEDQ_UNGROUP_ACTION = 377,
    AFCQ_SEDQ_UNGROUP_NESTED_ACTION = 378,
    AFCQ_EDIT_PASTE_ACTION = 408,
    AFCQ_EDIT_REDO_ACTION = 459,
    AFCQ_EDIT_REPLACE_ACTION = 474,
    AFCQ_SEDQ_TOOLBAR_FIND_ACTION = 506,
    AFCQ_SEDQ_TOOLBAR_START_COMPILE_ACTION = 507,
    AFCQ_SEDQ_TOOLBAR_START_RECOMPILE_ACTION = 508,
    AFCQ_SEDQ_TOOLBAR_WAVEFORM_CENTER_ON_TRIGGER_ACTION = 509,
    AFCQ_EDIT_SELECT_ALL_ACTION = 513,
    AFCQ_SEDQ_SOF_ATTACH_ACTION = 614,
    AFCQ_SEDQ_SOF_DELETE_ACTION = 615,
    AFCQ_SEDQ_SOF_EXTRACT_ACTION = 616,
    AFCQ_SEDQ_SOF_PROGRAM_ACTION = 617,
    AFCQ_SEDQ_SOF_RENAME_ACTION = 618,
    AFCQ_EDIT_UNDO_ACTION = 694,
    AFCQ_SEDQ_LOG_PANE_ACTION = 698, // pane toggles
    AFCQ_SEDQ_HIERARCHY_PANE_ACTION = 700,
    AFCQ_SEDQ_INSTANCE_PANE_ACTION = 701,
    AFCQ_SEDQ_JTAG_PANE_ACTION = 702,
    AFCQ_SEDQ_CONFIG_PANE_ACTION = 705,
    AFCQ_SEDQ_CENTER_ON_TRIGGER_ACTION = 708,
    AFCQ_SEDQ_DELETE_TIME_BAR_ACTION = 710,
    AFCQ_SEDQ_DELETE_ALL_TIME_BARS_ACTION = 711,
    AFCQ_SEDQ_INSERT_TIME_BAR_ACTION = 712,
    AFCQ_SEDQ_INSERT_MASTER_TIME_BAR_ACTION = 713,
    AFCQ_SEDQ_MOVE_MASTER_TIME_BAR_ACTION = 714,
    AFCQ_SEDQ_NEXT_TRANSITION_ACTION = 715,
    AFCQ_SEDQ_PREVIOUS_TRANSITION_ACTION = 716,
    AFCQ_SEDQ_INSERT_MASTER_TIME_BAR_ALT_ACTION = 717, // a second entry for the same command
    AFCQ_SEDQ_SAMPLE_NUMBERS_ACTION = 718,
    AFCQ_SEDQ_TIME_UNITS_ACTION = 719,
    AFCQ_SEDQ_FIT_IN_WINDOW_ACTION = 728,
    AFCQ_SEDQ_ZOOM_IN_ACTION = 729,
    AFCQ_SEDQ_ZOOM_OUT_ACTION = 730,
};

// A new action for the id, with a readable text and the objectName "AFCQ_<id>"; the caller
// (or `parent`) owns it.
QAction* afcq_create_action(AFCQ_ACTION_ENUM id, QObject* parent);

// Connects only when the sender has the signal and the receiver has the slot (both checked
// on normalised signatures), so a missing end gives false without a Qt warning.
bool afcq_safe_connect(QObject* sender, const char* signal, QObject* receiver, const char* slot);

// One preference page of a frame and its sub-pages (owned by whoever built the tree).
struct AFCQ_PAGE_INFO
{
    virtual ~AFCQ_PAGE_INFO() = default;
    int m_id = 0;
    QList<AFCQ_PAGE_INFO*> m_children;
};

enum AFCQ_COLOR_RESOURCE : int
{
    AFCQ_COLOR_CELL_OUTLINE = 1, // outer ring of raised cells, drop markers, zero line of charts
    AFCQ_COLOR_INVALID_NAME = 5,
    AFCQ_COLOR_SELECTION = 297, // selection with keyboard focus
    AFCQ_COLOR_IDLE = 298,      // view background
    AFCQ_COLOR_TIME_BAR = 299,
    AFCQ_COLOR_TRIGGER_POSITION = 300,
    AFCQ_COLOR_END_OF_SAMPLES = 301,
    AFCQ_COLOR_COLUMN_HEADER = 302,
    AFCQ_COLOR_WAVEFORM_GRID = 303,
    AFCQ_COLOR_WINDOW_TITLE = 304,
    AFCQ_COLOR_PRE_SYNTHESIS_NAME = 305,
    AFCQ_COLOR_POST_FITTING_NAME = 306,
    AFCQ_COLOR_GROUP_NAME = 307,
    AFCQ_COLOR_TRIGGER_MNEMONIC = 308,
    AFCQ_COLOR_DATA_MNEMONIC = 309,
    AFCQ_COLOR_SAMPLE_NUMBER = 310,
    AFCQ_COLOR_SEGMENT_NUMBER = 311,
    AFCQ_COLOR_HIGH_VALUE = 312,
    AFCQ_COLOR_LOW_VALUE = 313,
    AFCQ_COLOR_BUS_VALUE = 314,
    AFCQ_COLOR_DUPLICATED_NODE = 315, // a node shown on the data tab only
};
enum AFCQ_BRUSH_RESOURCE : int
{
    AFCQ_BRUSH_PROGRESS = 4,
    AFCQ_BRUSH_ERROR = 5,
    AFCQ_BRUSH_WAITING = 8,
    AFCQ_BRUSH_CELL_FACE = 22, // raised cells, disabled cells, selection without focus
    AFCQ_BRUSH_WAVEFORM_GRID = 24,
    AFCQ_BRUSH_CELL_BORDER = 26,
};
enum AFCQ_PEN_RESOURCE : int
{
    AFCQ_PEN_TRIGGER_VALUE = 5,  // bus trigger text
    AFCQ_PEN_SELECTED_VALUE = 6, // values and waveforms of a selected row with focus
    AFCQ_PEN_TEXT = 18,
    AFCQ_PEN_SELECTED_TEXT = 21, // names and symbols of a selected row with focus
    AFCQ_PEN_DISABLED_TEXT = 27,
    AFCQ_PEN_WAVE_HIGH = 108, // high level of a one-bit waveform
    AFCQ_PEN_WAVE_LOW = 109,  // low level and edges of a one-bit waveform
};
enum AFCQ_FONT_RESOURCE : int
{
    AFCQ_FONT_MESSAGE = 5, // messages and the equation on the advanced trigger canvas
    AFCQ_FONT_WINDOW_TITLE = 54,
    AFCQ_FONT_COLUMN_HEADER = 55,
    AFCQ_FONT_PRE_SYNTHESIS_NAME = 56,
    AFCQ_FONT_POST_FITTING_NAME = 57,
    AFCQ_FONT_GROUP_NAME = 58,
    AFCQ_FONT_TRIGGER_MNEMONIC = 59,
    AFCQ_FONT_DATA_MNEMONIC = 60,
    AFCQ_FONT_MASTER_SAMPLE_NUMBER = 61, // of the master time bar
    AFCQ_FONT_SAMPLE_NUMBER = 62,
    AFCQ_FONT_MASTER_SEGMENT_NUMBER = 63,
    AFCQ_FONT_SEGMENT_NUMBER = 64,
    AFCQ_FONT_BUS_VALUE = 65,
    AFCQ_FONT_DUPLICATED_NODE = 66,
};

// Resource handles: each id gives the same value every time and no two ids of one kind
// give the same value.
class AFCQ_COLOR
{
public:
    explicit AFCQ_COLOR(int id) : m_id(id) {}
    QColor get_color() const;

private:
    int m_id;
};

class AFCQ_BRUSH
{
public:
    explicit AFCQ_BRUSH(int id) : m_id(id) {}
    QBrush get_brush() const;

private:
    int m_id;
};

class AFCQ_PEN
{
public:
    explicit AFCQ_PEN(int id) : m_id(id) {}
    QPen get_pen() const;

private:
    int m_id;
};

class AFCQ_FONT
{
public:
    explicit AFCQ_FONT(int id) : m_id(id) {}
    QFont get_font() const;

private:
    int m_id;
};

// Id of a host icon. The host accepts any id: a known one gives the picture of the installed
// icon theme (or Qt's standard one, or a drawn glyph for instances and trigger states); any
// other a numbered square of its own colour, the same every time.
enum AFCQ_ICON_ENUM : int
{
    AFCQ_ICON_GO_PREVIOUS = 6,
    AFCQ_ICON_GO_NEXT = 7,
    AFCQ_ICON_AUTORUN = 10,
    AFCQ_ICON_BIDIR_PIN_GROUP = 16, // node kinds: a group or bus, then a single node
    AFCQ_ICON_BIDIR_PIN = 18,
    AFCQ_ICON_CLOSE_PANE = 36,
    AFCQ_ICON_COMBINATIONAL_GROUP = 40,
    AFCQ_ICON_COMBINATIONAL = 42,
    AFCQ_ICON_LOG_INSTANCE = 55,
    AFCQ_ICON_LOG = 56,            // + 1: the log on show
    AFCQ_ICON_LOG_SIGNAL_SET = 60, // + 1: the signal set on show
    AFCQ_ICON_LOG_TRIGGER = 62,    // + 1: the trigger on show
    AFCQ_ICON_ATTACH = 100,
    AFCQ_ICON_HIERARCHY_LEVEL = 258,
    AFCQ_ICON_INPUT_PIN_GROUP = 271,
    AFCQ_ICON_INPUT_PIN = 273,
    AFCQ_ICON_OTHER_INSTANCE = 274,
    AFCQ_ICON_CURRENT_INSTANCE = 275,
    AFCQ_ICON_LOCKED = 311,   // a lock mode that restricts changes
    AFCQ_ICON_UNLOCKED = 312, // all changes allowed
    AFCQ_ICON_STATE_MACHINE_GROUP = 315,
    AFCQ_ICON_STATE_MACHINE = 317,
    AFCQ_ICON_MEMORY_GROUP = 322,
    AFCQ_ICON_MEMORY = 324,
    // Advanced trigger canvas: object bodies by display type, selection frames by box height
    // and focus, plain boxes, expand boxes.
    AFCQ_ICON_SEDQ_ARITHMETIC_LEFT_SHIFT = 371,
    AFCQ_ICON_SEDQ_ARITHMETIC_RIGHT_SHIFT = 372,
    AFCQ_ICON_SEDQ_BITWISE_AND = 373,
    AFCQ_ICON_SEDQ_BITWISE_COMPLEMENT = 374,
    AFCQ_ICON_SEDQ_BITWISE_OR = 375,
    AFCQ_ICON_SEDQ_BITWISE_XOR = 376,
    AFCQ_ICON_SEDQ_BUS = 378,
    AFCQ_ICON_SEDQ_COLLAPSED = 379,
    AFCQ_ICON_SEDQ_CONSTANT_BUS_VALUE = 380,
    AFCQ_ICON_SEDQ_CONSTANT_HIGH = 381,
    AFCQ_ICON_SEDQ_CONSTANT_LOW = 382,
    AFCQ_ICON_SEDQ_CUSTOM_TRIGGER_HDL = 383,
    AFCQ_ICON_SEDQ_DYNAMIC_CONTINUOUS_COUNTER = 384,
    AFCQ_ICON_SEDQ_DYNAMIC_EVENT_COUNTER = 385,
    AFCQ_ICON_SEDQ_DYNAMIC_STATE_COUNTER = 386,
    AFCQ_ICON_SEDQ_CONSTANT_UNSIGNED_EQUALITY = 387,
    AFCQ_ICON_SEDQ_EXPANDED = 388,
    AFCQ_ICON_SEDQ_CONSTANT_UNSIGNED_FALSE = 389,
    AFCQ_ICON_SEDQ_DELAYED_BUS = 390,
    AFCQ_ICON_SEDQ_DELAYED_PARENT = 391,
    AFCQ_ICON_SEDQ_CONSTANT_UNSIGNED_GREATER_THAN = 392,
    AFCQ_ICON_SEDQ_CONSTANT_UNSIGNED_GREATER_THAN_OR_EQUAL_TO = 393,
    AFCQ_ICON_SEDQ_CONSTANT_UNSIGNED_INEQUALITY = 394,
    AFCQ_ICON_SEDQ_COLLAPSED_INVALID = 395,
    AFCQ_ICON_SEDQ_CONSTANT_UNSIGNED_LESS_THAN = 396,
    AFCQ_ICON_SEDQ_CONSTANT_UNSIGNED_LESS_THAN_OR_EQUAL_TO = 397,
    AFCQ_ICON_SEDQ_LOGICAL_AND = 398,
    AFCQ_ICON_SEDQ_LOGICAL_LEFT_SHIFT = 399,
    AFCQ_ICON_SEDQ_LOGICAL_NOT = 400,
    AFCQ_ICON_SEDQ_LOGICAL_OR = 401,
    AFCQ_ICON_SEDQ_LOGICAL_RIGHT_SHIFT = 402,
    AFCQ_ICON_SEDQ_LOGICAL_XOR = 403,
    AFCQ_ICON_SEDQ_NODE = 404,
    AFCQ_ICON_SEDQ_PLAIN_BOX = 405,
    AFCQ_ICON_SEDQ_SELECTED_DELAYED_FRAME = 406,
    AFCQ_ICON_SEDQ_SELECTED_SHORT_FRAME = 407,
    AFCQ_ICON_SEDQ_SELECTED_TALL_FRAME = 408,
    AFCQ_ICON_SEDQ_REDUCTION_AND = 409,
    AFCQ_ICON_SEDQ_REDUCTION_OR = 410,
    AFCQ_ICON_SEDQ_REDUCTION_XOR = 411,
    AFCQ_ICON_SEDQ_REGISTERED_CONTINUOUS_COUNTER = 412,
    AFCQ_ICON_SEDQ_REGISTERED_EVENT_COUNTER = 413,
    AFCQ_ICON_SEDQ_REGISTERED_STATE_COUNTER = 414,
    AFCQ_ICON_SEDQ_ROTATE_LEFT_SHIFT = 415,
    AFCQ_ICON_SEDQ_ROTATE_RIGHT_SHIFT = 416,
    AFCQ_ICON_SEDQ_FOCUS_DELAYED_FRAME = 417,
    AFCQ_ICON_SEDQ_FOCUS_SHORT_FRAME = 418,
    AFCQ_ICON_SEDQ_FOCUS_TALL_FRAME = 419,
    AFCQ_ICON_SEDQ_CONSTANT_SIGNED_EQUALITY = 420,
    AFCQ_ICON_SEDQ_CONSTANT_SIGNED_FALSE = 421,
    AFCQ_ICON_SEDQ_CONSTANT_SIGNED_GREATER_THAN = 422,
    AFCQ_ICON_SEDQ_CONSTANT_SIGNED_GREATER_THAN_OR_EQUAL_TO = 423,
    AFCQ_ICON_SEDQ_CONSTANT_SIGNED_INEQUALITY = 424,
    AFCQ_ICON_SEDQ_CONSTANT_SIGNED_LESS_THAN = 425,
    AFCQ_ICON_SEDQ_CONSTANT_SIGNED_LESS_THAN_OR_EQUAL_TO = 426,
    AFCQ_ICON_SEDQ_CONSTANT_SIGNED_TRUE = 427,
    AFCQ_ICON_SEDQ_VARIABLE_SIGNED_EQUALITY = 428,
    AFCQ_ICON_SEDQ_VARIABLE_SIGNED_FALSE = 429,
    AFCQ_ICON_SEDQ_VARIABLE_SIGNED_GREATER_THAN = 430,
    AFCQ_ICON_SEDQ_VARIABLE_SIGNED_GREATER_THAN_OR_EQUAL_TO = 431,
    AFCQ_ICON_SEDQ_VARIABLE_SIGNED_INEQUALITY = 432,
    AFCQ_ICON_SEDQ_VARIABLE_SIGNED_LESS_THAN = 433,
    AFCQ_ICON_SEDQ_VARIABLE_SIGNED_LESS_THAN_OR_EQUAL_TO = 434,
    AFCQ_ICON_SEDQ_VARIABLE_SIGNED_TRUE = 435,
    AFCQ_ICON_SEDQ_EDGE_AND_LEVEL_DETECTOR = 436,
    AFCQ_ICON_SEDQ_CONDITION_FOR_INCREMENTALLY_ROUTED_NODES = 437,
    AFCQ_ICON_SEDQ_ADVANCED_TRIGGER_LEVEL_RESULT = 438,
    AFCQ_ICON_SEDQ_RESULT_WITH_INPUT = 439,
    AFCQ_ICON_SEDQ_CONSTANT_UNSIGNED_TRUE = 440,
    AFCQ_ICON_SEDQ_PLAIN_TWO_INPUT_BOX = 441,
    AFCQ_ICON_SEDQ_VARIABLE_BUS_VALUE = 442,
    AFCQ_ICON_SEDQ_VARIABLE_UNSIGNED_EQUALITY = 444,
    AFCQ_ICON_SEDQ_VARIABLE_UNSIGNED_FALSE = 445,
    AFCQ_ICON_SEDQ_VARIABLE_UNSIGNED_GREATER_THAN = 446,
    AFCQ_ICON_SEDQ_VARIABLE_UNSIGNED_GREATER_THAN_OR_EQUAL_TO = 447,
    AFCQ_ICON_SEDQ_VARIABLE_HIGH = 448,
    AFCQ_ICON_SEDQ_VARIABLE_UNSIGNED_INEQUALITY = 449,
    AFCQ_ICON_SEDQ_VARIABLE_UNSIGNED_LESS_THAN = 450,
    AFCQ_ICON_SEDQ_VARIABLE_UNSIGNED_LESS_THAN_OR_EQUAL_TO = 451,
    AFCQ_ICON_SEDQ_VARIABLE_LOW = 452,
    AFCQ_ICON_SEDQ_VARIABLE_UNSIGNED_TRUE = 453,
    AFCQ_ICON_SEDQ_UNKNOWN = 454,
    AFCQ_ICON_OUTPUT_PIN_GROUP = 459,
    AFCQ_ICON_OUTPUT_PIN = 461,
    AFCQ_ICON_READ_DATA = 508,
    AFCQ_ICON_REGISTERED_GROUP = 514,
    AFCQ_ICON_REGISTERED = 516,
    AFCQ_ICON_RUN = 536,
    AFCQ_ICON_SAVE_TO_LOG = 550,
    AFCQ_ICON_STOP = 633,
    AFCQ_ICON_ADVANCED_TRIGGER_PAGE = 637,
    AFCQ_ICON_DATA_PAGE = 639,
    AFCQ_ICON_SETUP_PAGE = 641,
    AFCQ_ICON_STATE_FLOW_PAGE = 642,
    AFCQ_ICON_DONT_CARE = 691, // trigger conditions and positions
    AFCQ_ICON_EITHER_EDGE = 692,
    AFCQ_ICON_FALLING_EDGE = 693,
    AFCQ_ICON_HIGH = 694,
    AFCQ_ICON_LOW = 695,
    AFCQ_ICON_RISING_EDGE = 696,
    AFCQ_ICON_ACTIVE_HIGH = 697,
    AFCQ_ICON_ACTIVE_LOW = 698,
    AFCQ_ICON_CENTER_POSITION = 699,
    AFCQ_ICON_START_STOP = 700,
    AFCQ_ICON_POST_POSITION = 701,
    AFCQ_ICON_PRE_POSITION = 702,
    AFCQ_ICON_OTHER_NODE_GROUP = 705,
    AFCQ_ICON_OTHER_NODE = 720,
};
QIcon afcq_get_icon(AFCQ_ICON_ENUM id);
// The host's cursors: zoom in and zoom out (a magnifier with a plus or a minus); any other id
// is the arrow. The same id gives the same cursor, pixmap and all, for the life of the process.
enum AFCQ_CURSOR_ENUM : int
{
    AFCQ_CURSOR_ZOOM_IN = 1,
    AFCQ_CURSOR_ZOOM_OUT = 2,
};
QCursor afcq_get_cursor(int id);

// The host's file chooser: never the platform's native dialog. In test use, exec() takes the
// next scripted answer (standin::afcq::push_file_dialog_result); on a headless display without
// one it cancels, so nothing ever waits for a user who is not there.
class AFCQ_FILE_DLG : public QFileDialog
{
    Q_OBJECT
public:
    explicit AFCQ_FILE_DLG(QWidget* parent);
    int exec() override;
};

// A file name field: a line edit, completing paths as the user types, and a browse button that
// opens the host's file dialog on the field's folder; the file chosen there replaces the text.
// Filters come in the host's form, "Export Types(*.csv;*.tbl)" (a name, then patterns split by
// ";" or blanks in parentheses; "*.*" is any file): the dialog offers each, and the completion
// model shows the files any of them matches.
class AFCQ_LINE_EDIT_BROWSE_BUTTON : public QWidget
{
    Q_OBJECT
public:
    explicit AFCQ_LINE_EDIT_BROWSE_BUTTON(QWidget* parent = nullptr);

    QLineEdit* get_line_edit() const { return m_edit; }
    QToolButton* get_browse_button() const { return m_button; }
    // The completion's model; give it filters through set_name_filters, which reads the host form.
    QFileSystemModel* get_file_system_model() const { return m_model; }

    // The file dialog's filters, in order (the first is chosen when it opens).
    void set_filters(const QStringList& filters);
    QStringList get_filters() const { return m_filters; }
    // The completion model's filters: the patterns of all of them (every file for "*.*").
    void set_name_filters(const QStringList& filters);
    // A field naming a file to write: the dialog takes a name that need not exist yet. Otherwise
    // (the default) it picks an existing file.
    void set_save_mode(bool save) { m_save = save; }
    void set_dialog_title(const QString& title) { m_title = title; }
    // A field the user fills only through the browse button: the text cannot be typed, and
    // the line edit takes `palette` (a grey base says so).
    void set_read_only(bool read_only);
    void set_edit_palette(const QPalette& palette);

    // The patterns of one filter in either form: "Text(*.a;*.b)" and "Text (*.a *.b)" give
    // {"*.a", "*.b"}; "*.*" gives "*"; a text without parentheses is itself the pattern list.
    static QStringList filter_patterns(const QString& filter);

public Q_SLOTS:
    // Runs the file dialog; an accepted file replaces the text and is reported.
    void browse();

Q_SIGNALS:
    // The user chose a file in the dialog or finished typing a changed name.
    void browse_editing_finished();

private:
    void on_edit_finished();

    QLineEdit* m_edit;
    QToolButton* m_button;
    QFileSystemModel* m_model;
    QStringList m_filters;
    QString m_title;
    bool m_save = false;
};

// Base of the dialogs that plug-ins open inside the host: a QDialog whose Help button leads to
// the host's help for the dialog.
class AFCQ_DIALOG : public QDialog
{
    Q_OBJECT
public:
    explicit AFCQ_DIALOG(QWidget* parent, Qt::WindowFlags flags = Qt::WindowFlags());

public Q_SLOTS:
    // Opens the host's help on the dialog (the stand-in has no help pages and only records the
    // request with the dialog's title).
    virtual void help_button_clicked();
};

// A plain information box with `text` (type 1: information). The stand-in records the text and
// shows a box only in interactive use.
void afcq_message_box(const QString& text, int type);

// Shows the wait cursor for its lifetime (nothing when `show` is false).
class AFCQ_WAIT_CURSOR
{
public:
    explicit AFCQ_WAIT_CURSOR(bool show = true);
    ~AFCQ_WAIT_CURSOR();
    AFCQ_WAIT_CURSOR(const AFCQ_WAIT_CURSOR&) = delete;
    AFCQ_WAIT_CURSOR& operator=(const AFCQ_WAIT_CURSOR&) = delete;

private:
    bool m_shown;
};

// The name filter of the host's file dialogs for a file type (512: "Vantrel File (*.vtl)");
// `default_name` and `editor_type` do not change the filter.
QString afcq_create_filter(int type_flags, const char* default_name, int editor_type);

// The key sequence text the user gave a shared action (179, find next: "F3"); empty for none.
QString afcq_get_custom_shortcut(AFCQ_ACTION_ENUM id);

// ---- node-finder results and their drag-and-drop form -------------------------------------

class QMimeData;

// One design name picked in the host's node finder or dragged from one of its views: a single
// node (kind 0) or an array of one (kind 1) or two (kind 2) dimensions; kind 3 is a kind the
// analyzer does not take. The flags are the netlist's flag bits (0x2000 post-fitting node,
// 0x8 usable as a trigger output, and the type bits).
class AFCQ_INSTANCE_NAME
{
public:
    AFCQ_INSTANCE_NAME() = default;
    AFCQ_INSTANCE_NAME(int kind, const QString& full_name, unsigned flags, QPair<int, int> first = {0, 0},
                       QPair<int, int> second = {0, 0})
        : m_kind(kind), m_full_name(full_name), m_flags(flags), m_first(first), m_second(second)
    {
    }
    int get_kind() const { return m_kind; }
    QString get_full_name() const { return m_full_name; }
    unsigned get_flags() const { return m_flags; }
    // Bounds as the design declares them (first, second); (0, 0) when absent.
    QPair<int, int> get_first_dimension() const { return m_first; }
    QPair<int, int> get_second_dimension() const { return m_second; }
    bool operator==(const AFCQ_INSTANCE_NAME& other) const
    {
        return m_kind == other.m_kind && m_full_name == other.m_full_name && m_flags == other.m_flags &&
               m_first == other.m_first && m_second == other.m_second;
    }

private:
    int m_kind = 0;
    QString m_full_name;
    unsigned m_flags = 0;
    QPair<int, int> m_first = {0, 0};
    QPair<int, int> m_second = {0, 0};
};
typedef QList<AFCQ_INSTANCE_NAME> AFCQ_INSTANCE_NAME_LIST;
Q_DECLARE_METATYPE(AFCQ_INSTANCE_NAME_LIST)

// The MIME type of a list of design names in a drag.
constexpr const char* AFCQ_INSTANCE_NAME_LIST_MIME_TYPE = "application/x-corvane_instance_name_list_data";

class AFCQ_DATA_TRANSFER_MANAGER
{
public:
    static AFCQ_DATA_TRANSFER_MANAGER* get_instance();
    // The names a drag carries; empty when it carries none or its data are damaged.
    AFCQ_INSTANCE_NAME_LIST get_instance_name_list_transfer_data(const QMimeData* data);
};

// ---- class ids and the locate menu --------------------------------

// A 128-bit class id naming a host tool or document kind (a locate target, for one).
struct CLSID
{
    std::uint32_t data1 = 0;
    std::uint16_t data2 = 0;
    std::uint16_t data3 = 0;
    std::uint8_t data4[8] = {};
    bool operator==(const CLSID& other) const;
    bool operator!=(const CLSID& other) const { return !(*this == other); }
};
Q_DECLARE_METATYPE(CLSID)

// The analyzer's own document kind.
extern const CLSID AFC_CLSID_SED_DEFAULT_DOC;

// The host's "Locate" submenu: one entry per host tool that can show a design node (each
// carrying the tool's class id) and the entry that opens the node's design file. Choosing a
// tool entry emits locate_triggered with its id; the design-file entry only triggers.
// Entries start disabled; qui_enable_locate_menu_actions switches the tool entries.
class AFCQ_LOCATE_MENU : public QMenu
{
    Q_OBJECT
public:
    explicit AFCQ_LOCATE_MENU(QWidget* parent);

    QAction* get_design_file_action() const { return m_design_file_action; }
    // The tool entries, in menu order.
    const QList<QAction*>& get_locate_actions() const { return m_locate_actions; }

Q_SIGNALS:
    void locate_triggered(CLSID target);

private:
    QAction* m_design_file_action = nullptr;
    QList<QAction*> m_locate_actions;
};
