#pragma once
// Test seams of the preference categories stand-in: reading a frame's page tree.

#include <QList>

#include <string>

struct AFCQ_PAGE_INFO;
class PRDQ_COLOR_INFO;
class PRDQ_FONT_INFO;

namespace standin::prdq
{
// The page as a colour or font page when it was built as one, else null.
PRDQ_COLOR_INFO* as_color_page(const AFCQ_PAGE_INFO* page);
PRDQ_FONT_INFO* as_font_page(const AFCQ_PAGE_INFO* page);

// A compact dump of page trees: "52[53,54(colors:19),55(fonts:13),56]", trees joined by ";".
std::string describe_pages(const QList<AFCQ_PAGE_INFO*>& pages);
} // namespace standin::prdq
