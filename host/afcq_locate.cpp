// Application-framework stand-in: class ids and the locate submenu with its tool entries.
#include "host/afcq.h"

#include "host/msg.h"
#include "host/qui.h"
#include "host/standin/standin.h"

#include <QAction>

#include <cstring>

namespace
{
CLSID make_clsid(std::uint32_t data1, std::uint16_t data2)
{
    CLSID id;
    id.data1 = data1;
    id.data2 = data2;
    id.data3 = 0x4c51;
    const std::uint8_t tail[8] = {0x8f, 0x1e, 0x3a, 0x5d, 0x00, 0x00, 0x00, std::uint8_t(data2 & 0xff)};
    std::memcpy(id.data4, tail, sizeof tail);
    return id;
}

// The host tools a node can be shown in, in menu order.
struct locate_target
{
    const char* text;
    CLSID id;
};

const locate_target* locate_targets(int* count)
{
    static const locate_target targets[] = {
        {"Locate in &Assignment Editor", make_clsid(0x5ed0a001u, 1)},
        {"Locate in &Pin Planner", make_clsid(0x5ed0a001u, 2)},
        {"Locate in &Chip Planner", make_clsid(0x5ed0a001u, 3)},
        {"Locate in &Resource Property Editor", make_clsid(0x5ed0a001u, 4)},
        {"Locate in RTL &Viewer", make_clsid(0x5ed0a001u, 5)},
        {"Locate in Technology Map Viewer (&Post-Mapping)", make_clsid(0x5ed0a001u, 6)},
        {"Locate in Technology Map Viewer (Post-&Fitting)", make_clsid(0x5ed0a001u, 7)},
    };
    *count = static_cast<int>(sizeof targets / sizeof targets[0]);
    return targets;
}

// Registered once, under the name signal and slot signatures use.
const int clsid_type = qRegisterMetaType<CLSID>("CLSID");
} // namespace

const CLSID AFC_CLSID_SED_DEFAULT_DOC = make_clsid(0x5ed0d0c0u, 0);

bool CLSID::operator==(const CLSID& other) const
{
    return data1 == other.data1 && data2 == other.data2 && data3 == other.data3 &&
           std::memcmp(data4, other.data4, sizeof data4) == 0;
}

AFCQ_LOCATE_MENU::AFCQ_LOCATE_MENU(QWidget* parent) : QMenu(QStringLiteral("&Locate"), parent)
{
    (void)clsid_type;
    int count = 0;
    const locate_target* targets = locate_targets(&count);
    for (int i = 0; i < count; ++i)
    {
        QAction* action = addAction(QString::fromLatin1(targets[i].text));
        action->setEnabled(false);
        const CLSID id = targets[i].id;
        connect(action, &QAction::triggered, this, [this, id]() { emit locate_triggered(id); });
        m_locate_actions << action;
    }
    addSeparator();
    m_design_file_action = addAction(QStringLiteral("Locate in &Design File"));
    m_design_file_action->setEnabled(false);
}

void qui_enable_locate_menu_actions(AFCQ_LOCATE_MENU* menu, int mode)
{
    if (menu == nullptr)
        return;
    standin::record_call("qui:qui_enable_locate_menu_actions(" + std::to_string(mode) + ")");
    for (QAction* action : menu->get_locate_actions())
        action->setEnabled(mode != 0);
}

// The tool entry's text without its mnemonic marker, or the id's first word for another id.
static std::string target_text(const CLSID& target)
{
    int count = 0;
    const locate_target* targets = locate_targets(&count);
    for (int i = 0; i < count; ++i)
        if (targets[i].id == target)
            return QString::fromLatin1(targets[i].text).remove('&').toStdString();
    return "class " + std::to_string(target.data1) + "." + std::to_string(target.data2);
}

void qui_locate(CLSID target, MSG_GEN_LOCATION_SCHEMA* schema, bool)
{
    standin::record_call("qui:qui_locate(" + target_text(target) + ": " + (schema ? schema->to_string() : "null") +
                         ")");
}

void qui_locate_to_design_file(MSG_GEN_LOCATION_SCHEMA* location, bool)
{
    standin::record_call("qui:qui_locate_to_design_file(" + (location ? location->to_string() : "null") + ")");
}
