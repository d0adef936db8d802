// Preference categories stand-in: colour and font pages, the user's changed values, and the
// deletion of page trees whose base type has no virtual destructor.
#include "host/prdq.h"

#include "host/ntfq.h"
#include "host/standin/prdq_control.h"
#include "host/standin/standin.h"

#include <map>
#include <set>

namespace
{
struct prdq_state
{
    std::set<const AFCQ_PAGE_INFO*> color_pages;
    std::set<const AFCQ_PAGE_INFO*> font_pages;
    std::map<int, QColor> colors;
    std::map<int, QFont> fonts;
};

prdq_state& state()
{
    static prdq_state s;
    return s;
}

// Pages belong to frames and die with them, so only the user's values are forgotten.
void reset()
{
    state().colors.clear();
    state().fonts.clear();
}

const standin::reset_registrar registrar(&reset);

void announce(int id)
{
    ntfq_post(ntfq_get_message("NTFQ_MSG_PRDQ_UPDATED"), static_cast<unsigned long>(id), true);
}

void describe(const AFCQ_PAGE_INFO* page, std::string* out)
{
    *out += std::to_string(page->m_id);
    if (const auto* colors = standin::prdq::as_color_page(page))
        *out += "(colors:" + std::to_string(colors->m_colors ? colors->m_colors->size() : 0) + ")";
    if (const auto* fonts = standin::prdq::as_font_page(page))
        *out += "(fonts:" + std::to_string(fonts->m_fonts ? fonts->m_fonts->size() : 0) + ")";
    if (page->m_children.isEmpty())
        return;
    *out += "[";
    for (int i = 0; i < page->m_children.size(); ++i)
    {
        if (i > 0)
            *out += ",";
        if (page->m_children[i])
            describe(page->m_children[i], out);
    }
    *out += "]";
}
} // namespace

PRDQ_COLOR_INFO::PRDQ_COLOR_INFO(int id, QList<PRDQ_COLOR>* colors) : m_colors(colors)
{
    m_id = id;
    state().color_pages.insert(this);
}

PRDQ_COLOR_INFO::~PRDQ_COLOR_INFO()
{
    state().color_pages.erase(this);
}

PRDQ_FONT_INFO::PRDQ_FONT_INFO(int id, QList<PRDQ_FONT>* fonts) : m_fonts(fonts)
{
    m_id = id;
    state().font_pages.insert(this);
}

PRDQ_FONT_INFO::~PRDQ_FONT_INFO()
{
    state().font_pages.erase(this);
}

void prdq_set_color(int id, const QColor& color)
{
    standin::record_call("prdq:prdq_set_color(" + std::to_string(id) + "," + color.name().toStdString() +
                         ")");
    auto& colors = state().colors;
    const auto it = colors.find(id);
    if (it != colors.end() && it->second == color)
        return;
    colors[id] = color;
    announce(id);
}

void prdq_set_font(int id, const QFont& font)
{
    standin::record_call("prdq:prdq_set_font(" + std::to_string(id) + "," + font.toString().toStdString() +
                         ")");
    auto& fonts = state().fonts;
    const auto it = fonts.find(id);
    if (it != fonts.end() && it->second == font)
        return;
    fonts[id] = font;
    announce(id);
}

bool prdq_get_color(int id, QColor* color)
{
    const auto it = state().colors.find(id);
    if (it == state().colors.end())
        return false;
    if (color)
        *color = it->second;
    return true;
}

bool prdq_get_font(int id, QFont* font)
{
    const auto it = state().fonts.find(id);
    if (it == state().fonts.end())
        return false;
    if (font)
        *font = it->second;
    return true;
}

// The page base has no virtual destructor: each page is deleted as the kind it was built as.
void prdq_delete_page_tree(AFCQ_PAGE_INFO* page)
{
    if (page == nullptr)
        return;
    for (AFCQ_PAGE_INFO* child : page->m_children)
        prdq_delete_page_tree(child);
    page->m_children.clear();
    if (auto* colors = standin::prdq::as_color_page(page))
        delete colors;
    else if (auto* fonts = standin::prdq::as_font_page(page))
        delete fonts;
    else
        delete page;
}

namespace standin::prdq
{
PRDQ_COLOR_INFO* as_color_page(const AFCQ_PAGE_INFO* page)
{
    if (state().color_pages.count(page) == 0)
        return nullptr;
    return static_cast<PRDQ_COLOR_INFO*>(const_cast<AFCQ_PAGE_INFO*>(page));
}

PRDQ_FONT_INFO* as_font_page(const AFCQ_PAGE_INFO* page)
{
    if (state().font_pages.count(page) == 0)
        return nullptr;
    return static_cast<PRDQ_FONT_INFO*>(const_cast<AFCQ_PAGE_INFO*>(page));
}

std::string describe_pages(const QList<AFCQ_PAGE_INFO*>& pages)
{
    std::string out;
    for (int i = 0; i < pages.size(); ++i)
    {
        if (i > 0)
            out += ";";
        if (pages[i])
            describe(pages[i], &out);
    }
    return out;
}
} // namespace standin::prdq
