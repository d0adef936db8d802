// AFCQ stand-in: action factory, safe connect and generated resources.
#include "host/afcq.h"
#include "host/standin/afcq_control.h"

#include <QAction>
#include <QApplication>
#include <QIcon>
#include <QImage>
#include <QStyle>

#include <gtest/gtest.h>

#include <limits>
#include <memory>
#include <set>

TEST(afcq, every_call_makes_a_new_named_action)
{
    QObject owner;
    QAction* first = afcq_create_action(AFCQ_EDIT_SELECT_ALL_ACTION, &owner);
    QAction* second = afcq_create_action(AFCQ_EDIT_SELECT_ALL_ACTION, &owner);
    ASSERT_NE(first, nullptr);
    EXPECT_NE(first, second);
    EXPECT_EQ(first->parent(), &owner);
    EXPECT_EQ(first->objectName(), "AFCQ_513");
    EXPECT_EQ(first->text(), "Select &All");
    const std::unique_ptr<QAction> unknown(afcq_create_action(static_cast<AFCQ_ACTION_ENUM>(4711), nullptr));
    EXPECT_EQ(unknown->text(), "Action 4711");
    EXPECT_EQ(standin::afcq::created_action(513), second);
    EXPECT_EQ(standin::afcq::created_count(513), 2);
    delete second;
    EXPECT_EQ(standin::afcq::created_action(513), nullptr) << "a deleted action is not handed out";
}

TEST(afcq, safe_connect_needs_both_ends)
{
    QAction sender;
    QAction receiver;
    receiver.setCheckable(true);
    EXPECT_FALSE(afcq_safe_connect(&sender, SIGNAL(no_such_signal()), &receiver, SLOT(toggle())));
    EXPECT_FALSE(afcq_safe_connect(&sender, SIGNAL(triggered()), &receiver, SLOT(no_such_slot())));
    EXPECT_FALSE(afcq_safe_connect(&sender, SIGNAL(triggered()), nullptr, SLOT(toggle())));
    EXPECT_TRUE(afcq_safe_connect(&sender, SIGNAL(triggered()), &receiver, SLOT(toggle())));
    sender.trigger();
    EXPECT_TRUE(receiver.isChecked());
}

TEST(afcq, resources_are_deterministic_and_distinct_per_id)
{
    std::set<QRgb> colours;
    std::set<QRgb> brushes;
    std::set<QRgb> pens;
    std::set<QString> fonts;
    for (int id = 0; id < 144; ++id)
    {
        EXPECT_EQ(AFCQ_COLOR(id).get_color(), AFCQ_COLOR(id).get_color());
        colours.insert(AFCQ_COLOR(id).get_color().rgb());
        brushes.insert(AFCQ_BRUSH(id).get_brush().color().rgb());
        EXPECT_EQ(AFCQ_BRUSH(id).get_brush().style(), Qt::SolidPattern);
        pens.insert(AFCQ_PEN(id).get_pen().color().rgb());
        fonts.insert(AFCQ_FONT(id).get_font().toString());
    }
    EXPECT_EQ(colours.size(), 144u);
    EXPECT_EQ(brushes.size(), 144u);
    EXPECT_EQ(pens.size(), 144u);
    EXPECT_EQ(fonts.size(), 144u);
}

// Ids come from the library as plain ints: the extremes get a font like any other id (a
// negative one its positive counterpart's) instead of reading outside the family list.
TEST(afcq, fonts_of_extreme_and_negative_ids_are_real_fonts)
{
    EXPECT_EQ(AFCQ_FONT(-40).get_font(), AFCQ_FONT(40).get_font());
    for (int id : {std::numeric_limits<int>::min(), std::numeric_limits<int>::min() + 1,
                   std::numeric_limits<int>::max()})
    {
        const QFont font = AFCQ_FONT(id).get_font();
        EXPECT_FALSE(font.family().isEmpty()) << id;
        EXPECT_GE(font.pointSize(), 7) << id;
        EXPECT_LE(font.pointSize(), 18) << id;
    }
}

// ---- icons -------------------------------------------------------------------------------------

namespace
{
QImage picture(const QIcon& icon, int size = 16)
{
    return icon.pixmap(size, size).toImage().convertToFormat(QImage::Format_ARGB32);
}

bool has_colour(const QImage& image, const QColor& colour)
{
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (QColor(image.pixel(x, y)).rgb() == colour.rgb() && qAlpha(image.pixel(x, y)) == 255)
                return true;
    return false;
}
} // namespace

// The ids the analyzer's panes show come from the installed icon theme, set by the host even
// without a desktop session; the commands on menus and toolbars carry theirs too.
TEST(afcq_icons, known_ids_and_commands_come_from_the_icon_theme)
{
    const struct
    {
        int id;
        const char* name;
    } rows[] = {{36, "window-close"},          {536, "media-playback-start"},      {633, "media-playback-stop"},
                {10, "media-playlist-repeat"}, {639, "utilities-system-monitor"}, {641, "preferences-system"},
                {642, "text-x-script"},        {258, "folder"},                    {550, "document-save"}};
    for (const auto& r : rows)
    {
        const QIcon icon = afcq_get_icon(static_cast<AFCQ_ICON_ENUM>(r.id));
        EXPECT_EQ(icon.name(), r.name) << r.id;
        EXPECT_FALSE(picture(icon).isNull()) << r.id;
    }
    EXPECT_EQ(QIcon::themeName(), "breeze");
    const std::unique_ptr<QAction> undo(afcq_create_action(AFCQ_EDIT_UNDO_ACTION, nullptr));
    EXPECT_EQ(undo->icon().name(), "edit-undo");
    const std::unique_ptr<QAction> run(afcq_create_action(AFCQ_SEDQ_RUN_ACTION, nullptr));
    EXPECT_EQ(run->icon().name(), "media-playback-start");
}

// The current instance is marked by the ready colour; trigger states are pictures of their
// own; an id without a picture is a numbered square of its own.
TEST(afcq_icons, glyphs_are_drawn_and_unknown_ids_numbered)
{
    const QImage current = picture(afcq_get_icon(AFCQ_ICON_CURRENT_INSTANCE));
    const QImage other = picture(afcq_get_icon(AFCQ_ICON_OTHER_INSTANCE));
    EXPECT_TRUE(has_colour(current, Qt::green));
    EXPECT_FALSE(has_colour(other, Qt::green));
    std::set<QByteArray> conditions;
    for (int id = 691; id <= 702; ++id)
    {
        const QImage image = picture(afcq_get_icon(static_cast<AFCQ_ICON_ENUM>(id)));
        EXPECT_TRUE(afcq_get_icon(static_cast<AFCQ_ICON_ENUM>(id)).name().isEmpty()) << id;
        conditions.insert(QByteArray(reinterpret_cast<const char*>(image.constBits()), int(image.sizeInBytes())));
    }
    EXPECT_EQ(conditions.size(), 12u) << "every trigger state looks different";
    EXPECT_NE(picture(afcq_get_icon(static_cast<AFCQ_ICON_ENUM>(9998))),
              picture(afcq_get_icon(static_cast<AFCQ_ICON_ENUM>(9999))));
    EXPECT_TRUE(afcq_get_icon(static_cast<AFCQ_ICON_ENUM>(9999)).name().isEmpty());
}

// A theme without the name gives Qt's standard picture, never an empty icon.
TEST(afcq_icons, without_the_theme_the_standard_picture_serves)
{
    afcq_get_icon(AFCQ_ICON_CLOSE_PANE); // the host has set its theme
    const QString theme = QIcon::themeName();
    QIcon::setThemeName(QStringLiteral("no-such-theme"));
    const QIcon icon = afcq_get_icon(AFCQ_ICON_CLOSE_PANE);
    QIcon::setThemeName(theme);
    EXPECT_TRUE(icon.name().isEmpty());
    EXPECT_EQ(picture(icon), picture(QApplication::style()->standardIcon(QStyle::SP_TitleBarCloseButton)));
}

TEST(afcq, dialog_help_and_message_boxes_are_recorded_without_showing_anything)
{
    AFCQ_DIALOG dialog(nullptr);
    dialog.setWindowTitle("Some Dialog");
    EXPECT_TRUE(QMetaObject::invokeMethod(&dialog, "help_button_clicked")) << "help is a slot buttons connect to";
    EXPECT_EQ(standin::afcq::dialogs_constructed(), 1);
    EXPECT_EQ(standin::afcq::help_requests(), QStringList{"Some Dialog"});
    EXPECT_FALSE(dialog.isVisible());
    afcq_message_box("fsm name: a", 1);
    EXPECT_EQ(standin::afcq::message_box_texts(), QStringList{"fsm name: a"});
}
