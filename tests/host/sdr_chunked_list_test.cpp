// The chunked copy-on-write list behind the node lists: every edit gives the same values as a
// plain vector, leaves a copy taken before it as it was, takes a new version and keeps sharing
// the chunks before the first element it touches.
#include "host/sdr/sdr_chunked_list.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

namespace
{
using LIST = SDR_CHUNKED_LIST<std::string>;
using MODEL = std::vector<std::string>;
constexpr int CHUNK = LIST::CHUNK_SIZE;
constexpr int START = 3 * CHUNK + 2; // two rows into the fourth chunk

struct edit_case
{
    const char* name;
    std::function<void(LIST&)> on_list;
    std::function<void(MODEL&)> on_model;
    int first_touched; // chunks wholly before this element stay shared with the copy
};

std::string value(int i)
{
    return "row " + std::to_string(i) + " with a name too long for the short-string buffer";
}

MODEL values_of(const LIST& list)
{
    return MODEL(list.begin(), list.end());
}

std::vector<edit_case> edit_cases()
{
    const std::string extra = value(1000);
    return {
        {"append into the last chunk", [=](LIST& l) { l.append(extra); }, [=](MODEL& m) { m.push_back(extra); },
         START},
        {"move in a run that fills the last chunk, a whole one and part of another",
         [](LIST& l) {
             std::vector<std::string> run;
             for (int i = 0; i < 2 * CHUNK + 1; ++i)
                 run.push_back(value(2000 + i));
             l.append_moved(&run);
             EXPECT_TRUE(run.empty());
         },
         [](MODEL& m) {
             for (int i = 0; i < 2 * CHUNK + 1; ++i)
                 m.push_back(value(2000 + i));
         },
         START},
        {"write one element", [=](LIST& l) { l[CHUNK + 1] = extra; }, [=](MODEL& m) { m[CHUNK + 1] = extra; },
         CHUNK + 1},
        {"insert at the front", [=](LIST& l) { l.insert(0, extra); },
         [=](MODEL& m) { m.insert(m.begin(), extra); }, 0},
        {"insert at a chunk start", [=](LIST& l) { l.insert(2 * CHUNK, extra); },
         [=](MODEL& m) { m.insert(m.begin() + 2 * CHUNK, extra); }, 2 * CHUNK},
        {"insert at the end", [=](LIST& l) { l.insert(START, extra); }, [=](MODEL& m) { m.push_back(extra); },
         START},
        {"remove the last of a chunk", [](LIST& l) { l.remove(CHUNK - 1); },
         [](MODEL& m) { m.erase(m.begin() + CHUNK - 1); }, CHUNK - 1},
        {"remove across a chunk boundary", [](LIST& l) { l.remove(2 * CHUNK - 2, 5); },
         [](MODEL& m) { m.erase(m.begin() + 2 * CHUNK - 2, m.begin() + 2 * CHUNK + 3); }, 2 * CHUNK - 2},
        {"erase a range", [](LIST& l) { l.erase(l.cbegin() + 1, l.cbegin() + CHUNK + 1); },
         [](MODEL& m) { m.erase(m.begin() + 1, m.begin() + CHUNK + 1); }, 1},
        {"remove the last", [](LIST& l) { l.removeLast(); }, [](MODEL& m) { m.pop_back(); }, START - 1},
        {"truncate to a chunk boundary", [](LIST& l) { l.truncate(2 * CHUNK); },
         [](MODEL& m) { m.resize(2 * CHUNK); }, 2 * CHUNK},
        {"truncate into a chunk", [](LIST& l) { l.truncate(CHUNK + 3); }, [](MODEL& m) { m.resize(CHUNK + 3); },
         CHUNK + 3},
        {"grow by resize", [](LIST& l) { l.resize(START + CHUNK + 1); },
         [](MODEL& m) { m.resize(START + CHUNK + 1); }, START},
        {"clear", [](LIST& l) { l.clear(); }, [](MODEL& m) { m.clear(); }, 0},
        {"sort through iterators", [](LIST& l) { std::sort(l.begin(), l.end(), std::greater<std::string>()); },
         [](MODEL& m) { std::sort(m.begin(), m.end(), std::greater<std::string>()); }, 0},
    };
}
} // namespace

TEST(sdr_chunked_list, an_edit_matches_a_vector_and_leaves_earlier_copies_and_untouched_chunks_alone)
{
    for (const edit_case& c : edit_cases())
    {
        SCOPED_TRACE(c.name);
        LIST list;
        MODEL model;
        for (int i = 0; i < START; ++i)
        {
            list.append(value(i));
            model.push_back(value(i));
        }
        const LIST kept = list;
        const MODEL before = model;
        c.on_list(list);
        c.on_model(model);

        EXPECT_EQ(values_of(list), model);
        EXPECT_EQ(list.size(), int(model.size()));
        EXPECT_EQ(values_of(kept), before) << "the copy taken before the edit keeps its values";
        EXPECT_NE(list.version(), kept.version());
        for (int chunk = 0; (chunk + 1) * CHUNK <= c.first_touched; ++chunk)
            EXPECT_TRUE(list.shares_chunk_with(kept, chunk * CHUNK)) << "chunk " << chunk;
    }
}

TEST(sdr_chunked_list, reading_keeps_the_version_and_the_shared_chunks)
{
    LIST list;
    for (int i = 0; i < START; ++i)
        list.append(value(i));
    const LIST kept = list;
    const LIST& reader = list;
    size_t total = 0;
    for (const std::string& row : reader)
        total += row.size();
    total += reader[CHUNK].size() + reader.at(START - 1).size() + reader.mid(CHUNK, 3).size();
    EXPECT_GT(total, 0u);
    EXPECT_EQ(list.version(), kept.version());
    for (int i = 0; i < START; i += CHUNK)
        EXPECT_TRUE(list.shares_chunk_with(kept, i)) << i;

    LIST moved = std::move(list);
    EXPECT_EQ(moved.version(), kept.version()) << "a move keeps the values and so the version";
    EXPECT_TRUE(list.isEmpty());
    EXPECT_NE(list.version(), kept.version());
}
