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

QColor AFCQ_COLOR::get_color() const
{
    return colour_of(m_id, 0x123456u);
}

QBrush AFCQ_BRUSH::get_brush() const
{
    return QBrush(colour_of(m_id, 0x654321u), Qt::SolidPattern);
}

QPen AFCQ_PEN::get_pen() const
{
    return QPen(QBrush(colour_of(m_id, 0x2468ACu)), 1.0);
}

// Families every offscreen test machine can resolve or substitute; the point size and
// family together keep up to 3 * 12 ids apart, the weight and slant extend that further.
QFont AFCQ_FONT::get_font() const
{
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
