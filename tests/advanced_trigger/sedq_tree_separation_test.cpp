// Where the trees of a canvas go after a layout: each moves down by the least distance that
// clears the trees before it, the same distance the direct search (every tree against every
// placed rectangle, moving past whatever it meets until it meets nothing) finds.
#include "sedq/advanced_trigger/sedq_tree_separation.h"

#include <gtest/gtest.h>

#include <random>

namespace
{
constexpr int GAP = 10;

// The direct search the separation must agree with; the first `fixed` trees stay.
QVector<int> reference_shifts(const QVector<QVector<QRect>>& trees, int fixed = 1)
{
    QVector<QRect> placed;
    QVector<int> shifts;
    for (QVector<QRect> mine : trees)
    {
        int total = 0;
        for (int dy = shifts.size() < fixed ? 0 : 1; dy != 0;)
        {
            dy = 0;
            for (const QRect& other : placed)
                for (const QRect& rect : mine)
                    if (rect.intersects(other.adjusted(0, -GAP, 0, GAP)))
                        dy = qMax(dy, other.bottom() + GAP + 1 - rect.top());
            for (QRect& rect : mine)
                rect.translate(0, dy);
            total += dy;
        }
        placed += mine;
        shifts.append(total);
    }
    return shifts;
}

struct SCENE
{
    const char* name;
    int trees;
    int spread;    // the side of the square the trees' roots fall in
    int max_boxes; // boxes per tree
    bool degenerate; // boxes of no width or no height among them
};

QVector<QVector<QRect>> random_trees(const SCENE& scene, std::mt19937* random)
{
    std::uniform_int_distribution<int> place(0, scene.spread);
    std::uniform_int_distribution<int> count(1, scene.max_boxes);
    std::uniform_int_distribution<int> size(scene.degenerate ? 0 : 1, 120);
    std::uniform_int_distribution<int> offset(-150, 150);
    QVector<QVector<QRect>> trees(scene.trees);
    for (QVector<QRect>& tree : trees)
    {
        const QPoint root(place(*random), place(*random));
        for (int n = count(*random); n > 0; --n)
            tree.append(QRect(root + QPoint(offset(*random), offset(*random)), QSize(size(*random), size(*random))));
    }
    return trees;
}
} // namespace

TEST(tree_separation_test, moves_each_tree_as_far_as_the_direct_search)
{
    const SCENE scenes[] = {
        {"one pile of like boxes", 60, 0, 1, false},
        {"a crowd of small trees", 200, 400, 4, false},
        {"scattered wide trees", 150, 3000, 8, false},
        {"boxes of no width or height", 150, 300, 4, true},
    };
    std::mt19937 random(7);
    for (const SCENE& scene : scenes)
        for (int round = 0; round < 5; ++round)
        {
            const QVector<QVector<QRect>> trees = random_trees(scene, &random);
            const int fixed = round % 3 + 1; // the condition's tree, and trees the user just placed
            EXPECT_EQ(sedq_separate_trees(trees, GAP, fixed), reference_shifts(trees, fixed))
                << scene.name << ", round " << round;
        }
}

TEST(tree_separation_test, leaves_apart_trees_alone_and_stacks_a_pile_gap_apart)
{
    const QRect box(0, 0, 50, 30);
    EXPECT_EQ(sedq_separate_trees({{box}, {box.translated(200, 0)}, {box.translated(0, 200)}}, GAP),
              (QVector<int>{0, 0, 0}));
    EXPECT_EQ(sedq_separate_trees({{box}, {box}, {box}}, GAP), (QVector<int>{0, 40, 80}));
    EXPECT_EQ(sedq_separate_trees({{box}, {box}, {box}}, GAP, 2), (QVector<int>{0, 0, 40}))
        << "fixed trees stay on each other; the rest makes way for both";
    // A tree of two boxes passes both rectangles of a wide box it meets.
    EXPECT_EQ(sedq_separate_trees({{QRect(-1000000, 0, 2000000, 10)}, {box, box.translated(0, 50)}}, GAP),
              (QVector<int>{0, 20}));
}
