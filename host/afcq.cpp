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

// Texts of the shared actions that have a well-known name; the rest read "Action <id>".
const std::map<int, const char*>& known_texts()
{
    static const std::map<int, const char*> texts = {
        {19, "&Autorun Analysis"},
        {21, "Rea&d Data"},
        {22, "&Run Analysis"},
        {23, "&Stop Analysis"},
        {75, "&Copy"},
        {112, "Cu&t"},
        {114, "Data &Log"},
        {117, "Sa&ve to Log"},
        {408, "&Paste"},
        {459, "&Redo"},
        {694, "&Undo"},
        {120, "&Delete"},
        {178, "&Find..."},
        {179, "Find &Next"},
        {290, "Allow all changes"},
        {291, "Allow incremental route changes only"},
        {292, "Allow trigger condition changes only"},
        {513, "Select &All"},
        {708, "&Center on Trigger"},
        {728, "&Fit in Window"},
        {729, "Zoom &In"},
        {730, "Zoom &Out"},
        {154, "&Export..."},
        {257, "&Add Instance"},
        {258, "&Delete Instance"},
        {259, "Disable &Power-Up Trigger"},
        {260, "D&uplicate Trigger"},
        {261, "&Enable Power-Up Trigger"},
        {262, "Re&name Instance"},
        {263, "Instance &Status Help"},
        {326, "&Insert Nodes..."},
        {327, "Add State &Machine Nodes..."},
        {330, "&ASCII"},
        {331, "Unsigned &Line Chart"},
        {332, "&Binary"},
        {333, "&Double Precision"},
        {334, "&Single Precision"},
        {335, "&Hexadecimal"},
        {336, "Signed Line &Chart"},
        {338, "&Octal"},
        {339, "Unsigned Ba&r Chart"},
        {340, "Signed Bar Char&t"},
        {341, "Signed &Magnitude Decimal"},
        {342, "&Signed Decimal"},
        {343, "&Unsigned Decimal"},
        {344, "Create &List File"},
        {345, "Disable &Data"},
        {346, "Enable D&ata"},
        {347, "Remove Al&ias"},
        {349, "Find &Bus Value..."},
        {350, "Find Ne&xt Bus Value"},
        {351, "Find Pre&vious Bus Value"},
        {352, "&Group..."},
        {354, "Show &LSB on Left"},
        {355, "&Mnemonic Table Setup..."},
        {356, "Show MS&B on Left"},
        {357, "Paste Ali&as"},
        {358, "Plug-In &Options..."},
        {361, "&Recreate State Machine Mnemonics"},
        {362, "Rena&me..."},
        {363, "Set Ali&as..."},
        {225, "&Comparison..."},
        {226, "&Value"},
        {227, "&Pattern"},
        {228, "Any Bit &Rising"},
        {229, "Any Bit &Falling"},
        {230, "&Not Value"},
        {231, "Any Bit &High"},
        {232, "Any Bit &Either Edge"},
        {233, "Any Bit &Changed"},
        {234, "Any Bit &Low"},
        {328, "Align &Left"},
        {329, "Align &Right"},
        {353, "&Invert Signal"},
        {359, "Post-&Fitting"},
        {360, "&Pre-Synthesis"},
        {368, "&Don't Care"},
        {369, "&Either Edge"},
        {370, "&Falling Edge"},
        {371, "&High"},
        {372, "&Insert Value..."},
        {373, "&Low"},
        {374, "&Rising Edge"},
        {378, "Ungroup &Nested Groups"},
        {710, "&Delete Time Bar"},
        {711, "Delete &All Time Bars"},
        {712, "&Insert Time Bar..."},
        {713, "Insert &Master Time Bar"},
        {714, "&Move Master Time Bar"},
        {715, "&Next Transition"},
        {716, "&Previous Transition"},
        {717, "Set as Master &Time Bar"},
        {718, "&Sample Numbers"},
        {719, "&Time Units..."},
        {364, "Disable Stora&ge"},
        {365, "Enable Stor&age"},
        {366, "Disable Transitio&nal"},
        {367, "Enable Transi&tional"},
        {375, "Disable &Trigger"},
        {376, "Enable Tri&gger"},
        {377, "&Ungroup"},
        {506, "Find"},
        {507, "Start Compilation"},
        {508, "Start Relayne"},
        {509, "Center on Trigger"},
        {698, "&Data Log"},
        {700, "&Hierarchy Display"},
        {701, "&Instance Manager"},
        {702, "&JTAG Chain Configuration"},
        {705, "&Signal Configuration"},
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

QByteArray normalised_member(const char* member)
{
    return QMetaObject::normalizedSignature(member + 1);
}
} // namespace

QAction* afcq_create_action(AFCQ_ACTION_ENUM id, QObject* parent)
{
    const auto& texts = known_texts();
    const auto it = texts.find(id);
    const QString text =
        it != texts.end() ? QString::fromLatin1(it->second) : QStringLiteral("Action %1").arg(id);
    QAction* action = new QAction(text, parent);
    action->setObjectName(QStringLiteral("AFCQ_%1").arg(id));
    action->setIcon(afcq_detail::action_icon(action->objectName()));
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
        {1, 0xFF404040u},   // outer ring of cell frames, drop marker
        {5, 0xFFC00000u},   // name of an invalid node
        {297, 0xFF308CC6u}, // selection with focus
        {298, 0xFFFFFFFFu}, // view and name background
        {302, 0xFF202020u}, // column titles
        {305, 0xFF000000u}, // node name
        {306, 0xFF006400u}, // post-fitting name under incremental compilation
        {307, 0xFF003C78u}, // group and bus name
        {308, 0xFF8B4513u}, // bus trigger text of comparisons and symbols
        {315, 0xFF808080u}, // name of a node of the data tab only
        {299, 0xFF1E50D2u}, // time-bar lines and ruler ticks
        {300, 0xFFD21E1Eu}, // trigger marker lines
        {301, 0xFF5A5A5Au}, // start and end of the data
        {303, 0xFFE6E6E6u}, // vertical grid
        {309, 0xFF8B4500u}, // symbolic value text at a value change
        {310, 0xFF1E1E78u}, // position texts of the ruler and the time bars
        {311, 0xFF006464u}, // segment texts of the ruler and the time bars
        {314, 0xFF1F5FAFu}, // bus bands, charts and plain value texts
    };
    return colours;
}

const std::map<int, QRgb>& themed_brushes()
{
    static const std::map<int, QRgb> brushes = {
        {22, 0xFFF0F0F0u}, // cell face, disabled cells, title row
        {24, 0xFFE0E0E0u}, // grid of waveform cells
        {26, 0xFFC0C0C0u}, // plain cell borders
    };
    return brushes;
}

const std::map<int, QRgb>& themed_pens()
{
    static const std::map<int, QRgb> pens = {
        {5, 0xFF000000u},  // bus trigger text
        {6, 0xFFFFFFF0u},  // bus trigger text, selected with focus
        {18, 0xFF202020u}, // lock-mode title, expand box, selected name without focus
        {21, 0xFFFFFFFFu}, // selected text with focus
        {27, 0xFF808080u}, // disabled text, empty-view messages
        {108, 0xFF007800u}, // high level of a one-bit waveform
        {109, 0xFF009600u}, // low level and edges of a one-bit waveform
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
        {54, QFont(QStringLiteral("DejaVu Sans"), 10, QFont::Bold)},
        {55, QFont(QStringLiteral("DejaVu Sans"), 8)},
        {56, QFont(QStringLiteral("DejaVu Sans"), 9)},
        {57, QFont(QStringLiteral("DejaVu Sans"), 9, QFont::Normal, true)},
        {58, QFont(QStringLiteral("DejaVu Sans"), 9, QFont::Bold)},
        {61, QFont(QStringLiteral("DejaVu Sans"), 7, QFont::Bold)},
        {62, QFont(QStringLiteral("DejaVu Sans"), 7)},
        {63, QFont(QStringLiteral("DejaVu Sans Mono"), 7, QFont::Bold)},
        {64, QFont(QStringLiteral("DejaVu Sans Mono"), 7)},
        {66, QFont(QStringLiteral("DejaVu Serif"), 9, QFont::Normal, true)},
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
