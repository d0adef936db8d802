// Preference categories stand-in: page trees held by a frame and changed preferences.
#include "host/prdq.h"
#include "host/qui.h"
#include "host/standin/ntfq_control.h"
#include "host/standin/prdq_control.h"

#include <gtest/gtest.h>

#include <memory>

namespace
{
class counting_frame : public QUI_FRAME_WND
{
public:
    explicit counting_frame(QUI_FRAME_INFO* info) : QUI_FRAME_WND(info, QUI_FW_STATE_ATTACHED) {}
    bool ntfq_msg_prdq_updated(unsigned long data, bool) override
    {
        updates.push_back(static_cast<int>(data));
        return true;
    }
    std::vector<int> updates;
};

QList<PRDQ_COLOR>* colour_entries()
{
    static QList<PRDQ_COLOR> colours = {{"Selection highlight", 297, nullptr}, {"Background", 298, nullptr}};
    return &colours;
}

QList<PRDQ_FONT>* font_entries()
{
    static QList<PRDQ_FONT> fonts = {{"Column headers", 55, nullptr}};
    return &fonts;
}

// The tree a document window hands to its frame: a root over plain, colour and font pages.
AFCQ_PAGE_INFO* make_tree()
{
    auto* root = new AFCQ_PAGE_INFO;
    root->m_id = 52;
    auto* first = new AFCQ_PAGE_INFO;
    first->m_id = 53;
    root->m_children = {first, new PRDQ_COLOR_INFO(54, colour_entries()),
                        new PRDQ_FONT_INFO(55, font_entries())};
    return root;
}

TEST(PrdqTest, frame_holds_the_page_tree_and_deletes_each_page_as_its_kind)
{
    QUI_FRAME_INFO info;
    auto frame = std::make_unique<counting_frame>(&info);
    frame->get_preference_pages().append(make_tree());
    frame->set_page_id(52);
    const QList<AFCQ_PAGE_INFO*>& pages = frame->get_preference_pages();
    EXPECT_EQ(standin::prdq::describe_pages(pages), "52[53,54(colors:2),55(fonts:1)]");
    PRDQ_COLOR_INFO* colours = standin::prdq::as_color_page(pages[0]->m_children[1]);
    ASSERT_NE(colours, nullptr);
    EXPECT_EQ(colours->m_colors->at(1).name, "Background");
    EXPECT_EQ(standin::prdq::as_font_page(pages[0]->m_children[1]), nullptr);
    EXPECT_EQ(standin::prdq::as_color_page(pages[0]), nullptr);
    frame.reset(); // the sanitizers check that every page is freed as the type it was made as
    EXPECT_EQ(colour_entries()->size(), 2);
}

TEST(PrdqTest, changed_preference_is_kept_and_announced_once)
{
    QUI_FRAME_INFO info;
    counting_frame frame(&info);
    QColor colour;
    EXPECT_FALSE(prdq_get_color(298, &colour));
    prdq_set_color(298, Qt::darkBlue);
    prdq_set_color(298, Qt::darkBlue); // no change: no notification
    ASSERT_TRUE(prdq_get_color(298, &colour));
    EXPECT_EQ(colour, QColor(Qt::darkBlue));
    QFont font("Monospace", 9);
    prdq_set_font(55, font);
    QFont read;
    ASSERT_TRUE(prdq_get_font(55, &read));
    EXPECT_EQ(read, font);
    EXPECT_EQ(frame.updates, (std::vector<int>{298, 55}));
    EXPECT_EQ(standin::ntfq::deliveries().size(), 2u);
}
} // namespace
