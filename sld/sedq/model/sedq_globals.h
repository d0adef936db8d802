#pragma once
// The process-wide constants of the analyzer, built once when the library loads and
// destroyed in reverse order when it unloads. All of them are defined in sedq_globals.cpp
// in one fixed order; status, parameter and plug-in statics of other classes are declared
// with their classes but defined there too.

#include "sedq/model/sedq_lock_mode.h"

#include <QBrush>
#include <QMap>
#include <QPalette>
#include <QPen>
#include <QString>

class MSG_BASE;

extern const QString SEDQ_LOCK_MODE_ALLOW_ALL_STRING;
extern const QString SEDQ_LOCK_MODE_ALLOW_INCREMENTAL_STRING;
extern const QString SEDQ_LOCK_MODE_ALLOW_TRIGGER_STRING;
// Exactly the three texts above, mapped to their modes.
extern const QMap<QString, SEDQ_LOCK_MODE> SEDQ_LOCK_MODE_MAP;

// Background of rows, tabs and drawings that show a power-up trigger.
extern const QBrush SEDQ_POWERUP_BRUSH;
// Trigger level names in the node table header.
extern const QPen SEDQ_CONDITION_NAME_PEN;
// Tree lines of the node view and the rubber band of the trigger canvas.
extern const QPen SEDQ_DOTTED_PEN;

// Read-only fields: the base area is not filled.
extern const QPalette SEDQ_GREY_BASE_PALETTE;
extern const QPalette SEDQ_YELLOW_BASE_PALETTE;
extern const QPalette SEDQ_GREEN_BASE_PALETTE;
extern const QPalette SEDQ_RED_BASE_PALETTE;
extern const QPalette SEDQ_RED_TEXT_PALETTE;

// Memory types 0 (automatic), then the small, mid-size and large memory-block families.
extern const QString SEDQ_RAM_TYPE_DISPLAY_STR_AUTO;
extern const QString SEDQ_RAM_TYPE_DISPLAY_STR_SMALL;
extern const QString SEDQ_RAM_TYPE_DISPLAY_STR_MEDIUM;
extern const QString SEDQ_RAM_TYPE_DISPLAY_STR_LARGE;

// Status text -> the message it was rendered from; filled while the library loads and owned
// (messages included) until it unloads. Use sedq_text_to_msg to read it.
extern QMap<QString, MSG_BASE*> SEDQ_TEXT_TO_MSG_MAP;

// Tap states and empty-result texts of the state machine node dialog.
extern const QString SEDQ_STATE_MACHINE_NOT_TAPPED_STRING;
extern const QString SEDQ_STATE_MACHINE_MNEMONICS_UNCHANGED_STRING;
extern const QString SEDQ_STATE_MACHINE_ALREADY_TAPPED_STRING;
extern const QString SEDQ_STATE_MACHINE_UNTAPPABLE_STRING;
extern const QString SEDQ_STATE_MACHINE_NO_PRE_SYNTHESIS_FOUND_STRING;
extern const QString SEDQ_STATE_MACHINE_NO_POST_FITTING_FOUND_STRING;
extern const QString SEDQ_STATE_MACHINE_NO_PRE_SYNTHESIS_TAPPED_STRING;
extern const QString SEDQ_STATE_MACHINE_NO_POST_FITTING_TAPPED_STRING;
