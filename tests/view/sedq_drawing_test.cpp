// The shared drawing helpers, the row layout's look-ups and the grow-only sample buffers.
#include "sedq/view/sedq_drawing.h"
#include "sedq/view/sedq_row_layout.h"
#include "sedq/view/sedq_wave.h"

#include <QFont>
#include <QFontMetrics>
#include <QImage>
#include <QLine>
#include <QPainter>
#include <QPalette>
#include <gtest/gtest.h>
#include <qdrawutil.h>

TEST(sedq_drawing, rectangles_grow_and_shrink_on_every_side)
{
    QRect rect(QPoint(10, 10), QPoint(20, 30));
    sedq_deflate_rect(&rect, 2, 3);
    EXPECT_EQ(rect, QRect(QPoint(12, 13), QPoint(18, 27)));
    sedq_inflate_rect(&rect, 2, 3);
    EXPECT_EQ(rect, QRect(QPoint(10, 10), QPoint(20, 30)));
    QRect point(QPoint(5, 5), QSize(0, 0));
    sedq_inflate_rect(&point, 6, 6);
    EXPECT_EQ(point, QRect(QPoint(-1, -1), QPoint(10, 10))) << "the check box square of a cell centre";
}

TEST(sedq_drawing, line_to_continues_from_the_last_point)
{
    QImage image(20, 20, QImage::Format_ARGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.setPen(Qt::black);
    QLine pen(QPoint(1, 1), QPoint(1, 1));
    sedq_line_to(&painter, &pen, 10, 1);
    sedq_line_to(&painter, &pen, QPoint(10, 10));
    painter.end();
    EXPECT_EQ(pen.p1(), QPoint(10, 10));
    EXPECT_EQ(image.pixelColor(5, 1), QColor(Qt::black));
    EXPECT_EQ(image.pixelColor(10, 5), QColor(Qt::black));
    EXPECT_EQ(image.pixelColor(5, 5), QColor(Qt::white));
}

TEST(sedq_drawing, text_rectangles_stay_inside_their_bounds)
{
    QImage image(200, 40, QImage::Format_ARGB32);
    QPainter painter(&image);
    const QRect bounds(QPoint(10, 5), QPoint(109, 25));
    const int width = painter.fontMetrics().boundingRect("label").width();
    const QRect centred = sedq_get_text_rect(&painter, bounds, "label", 60);
    EXPECT_NEAR(centred.center().x(), 60, 2);
    EXPECT_EQ(centred.top(), 5);
    EXPECT_EQ(centred.bottom(), 25);
    EXPECT_EQ(sedq_get_text_rect(&painter, bounds, "label", 108).right(), 109) << "shifted left to fit";
    EXPECT_EQ(sedq_get_text_rect(&painter, bounds, "label", 11).left(), 10) << "shifted right to fit";
    EXPECT_GE(centred.width(), width);
    sedq_set_bold(&painter, true);
    EXPECT_EQ(painter.font().weight(), 75);
    sedq_set_bold(&painter, false);
    EXPECT_EQ(painter.font().weight(), 50);
}

TEST(sedq_drawing, text_is_drawn_only_where_it_fits)
{
    QImage image(200, 40, QImage::Format_ARGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.setPen(Qt::black);
    sedq_draw_text_if_it_fits(&painter, QRect(0, 0, 4, 40), Qt::AlignLeft, "too wide");
    EXPECT_EQ(image,
              []
              {
                  QImage blank(200, 40, QImage::Format_ARGB32);
                  blank.fill(Qt::white);
                  return blank;
              }());
    sedq_draw_text_if_it_fits(&painter, QRect(0, 0, 200, 40), Qt::AlignLeft, "fits");
    painter.end();
    bool inked = false;
    for (int x = 0; x < 40 && !inked; ++x)
        for (int y = 0; y < 40 && !inked; ++y)
            inked = image.pixelColor(x, y) != QColor(Qt::white);
    EXPECT_TRUE(inked);
}

// Measuring only what the rectangle could show decides as the whole text's width does: texts
// of every length (a wide bus's value has a thousand digits) against widths around their own.
TEST(sedq_drawing, a_text_fits_where_its_whole_width_does)
{
    QFont font;
    const QFontMetrics metrics(font);
    const QString digits = QStringLiteral("0123456789abcdef");
    for (int length : {1, 15, 16, 17, 40, 200, 1024})
    {
        QString text;
        for (int i = 0; i < length; ++i)
            text += digits[(i * 7) % digits.size()];
        const int whole = metrics.boundingRect(text).width();
        for (int width : {0, whole / 2, whole - 1, whole, whole + 1, whole * 2})
            EXPECT_EQ(sedq_text_fits(metrics, width, text), width >= whole)
                << length << " characters in " << width << " pixels (the text takes " << whole << ")";
    }
}

TEST(sedq_drawing, the_dotted_pen_dashes_single_pixels)
{
    const QPen pen = sedq_get_dotted_pen();
    EXPECT_EQ(pen.style(), Qt::CustomDashLine);
    EXPECT_EQ(pen.dashPattern(), (QVector<qreal>{1, 1}));
    EXPECT_EQ(pen.capStyle(), Qt::SquareCap);
    EXPECT_EQ(pen.widthF(), 1.0);
}

TEST(sedq_row_layout, shown_rows_and_the_row_under_a_point)
{
    SEDQ_ROW_LAYOUT layout;
    const int headers[] = {23, 20, 20};
    const bool columns[SEDQ_ROW_LAYOUT::COLUMN_COUNT] = {true, true, true};
    SEDQ_ROW_LAYOUT::SIGNATURE signature;
    signature.node_count = 5;
    EXPECT_FALSE(layout.is_valid_for(signature));
    layout.set(signature, headers, {20, 0, 60, 20, 20}, columns);
    ASSERT_TRUE(layout.is_valid_for(signature));
    EXPECT_EQ(layout.get_header_height(), 63);
    EXPECT_EQ(layout.get_shown_count(), 4);
    EXPECT_EQ(layout.get_shown_index(1), -1);
    EXPECT_EQ(layout.get_shown_index(2), 1);
    EXPECT_EQ(layout.get_shown_offset(2), 80);
    EXPECT_EQ(layout.get_row_height(5), 60);
    EXPECT_EQ(layout.get_row_height(8), 0) << "outside the table";
    // Rows overlap by their border: a row's last line is also the next row's first.
    const struct
    {
        int scroll;
        int y;
        int shown;
    } cases[] = {{0, 0, 0}, {0, 21, 0}, {0, 22, 1}, {0, 81, 1},  {0, 82, 2},
                 {1, 0, 1}, {1, 61, 1}, {1, 62, 2}, {0, 500, 4}, {4, 0, 4}};
    for (const auto& row : cases)
        EXPECT_EQ(layout.find_shown_row(row.scroll, row.y), row.shown) << row.scroll << " " << row.y;
    signature.timebar_count = 1;
    EXPECT_FALSE(layout.is_valid_for(signature)) << "a new time bar lays the rows out again";
    layout.clear();
    EXPECT_FALSE(layout.is_valid());
}

TEST(sedq_wave, buffers_grow_and_keep_their_storage)
{
    SEDQ_WAVE small(16);
    ASSERT_TRUE(small.is_valid());
    bool* first = small.get_data();
    first[15] = true;
    SEDQ_WAVE smaller(8);
    EXPECT_EQ(smaller.get_data(), first) << "a smaller request reuses the buffer";
    SEDQ_WAVE larger(1 << 16);
    EXPECT_GE(SEDQ_WAVE::get_max_sample_depth(), size_t(1) << 16);
    EXPECT_FALSE(larger.get_data()[(1 << 16) - 1]) << "grown storage is zeroed";
    SEDQ_WAVE_MASK mask(32);
    EXPECT_NE(mask.get_data(), larger.get_data()) << "the mask has a buffer of its own";
    SEDQ_WAVE_MASK refused(-1);
    EXPECT_FALSE(refused.is_valid());
}

// The filled frames must draw exactly what the style's frame functions draw.
TEST(sedq_drawing, filled_frames_match_the_style_frames)
{
    const QPalette palette;
    const QBrush fill(QColor(240, 240, 240));
    for (const QRect rect : {QRect(3, 4, 30, 20), QRect(0, 0, 2, 2), QRect(5, 5, 1, 7), QRect(2, 2, 3, 3), QRect(2, 2, 4, 4), QRect(6, 3, 5, 9)})
    {
        for (bool sunken : {false, true})
        {
            QImage expected(40, 30, QImage::Format_ARGB32);
            expected.fill(Qt::magenta);
            QImage actual = expected;
            {
                QPainter painter(&expected);
                qDrawShadeRect(&painter, rect, palette, sunken, 1, 0, &fill);
            }
            {
                QPainter painter(&actual);
                sedq_draw_shade_frame(&painter, rect, palette, sunken, fill);
            }
            EXPECT_EQ(actual, expected)
                << rect.width() << "x" << rect.height() << (sunken ? " sunken" : " raised");
        }
        QImage expected(40, 30, QImage::Format_ARGB32);
        expected.fill(Qt::magenta);
        QImage actual = expected;
        {
            QPainter painter(&expected);
            qDrawPlainRect(&painter, rect, Qt::darkGray, 1, nullptr);
        }
        {
            QPainter painter(&actual);
            sedq_draw_plain_frame(&painter, rect, Qt::darkGray);
        }
        EXPECT_EQ(actual, expected) << rect.width() << "x" << rect.height() << " plain";
    }
}
