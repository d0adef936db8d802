// Every kind of object through the equation writer, against a golden file: each palette entry
// and each kind the palette does not make, under four sets of settings and eight shapes of
// inputs, in the first and a later condition. A row holds the checked text, the problem
// reported and which object it names, and the structure text. A change of any written byte
// shows as the first row that differs; the whole text written is left beside the build
// (equation_kinds.actual.txt) to compare.
#include "sedq_object_test_support.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QStringList>
#include <QTextStream>

#include <functional>
#include <vector>

namespace
{
using P = SEDQ_PROPERTY;
using OBJECT = SEDQ_OBJECT;

// A tree that numbers its objects in the order they are made, so a row can name the culprit.
class numbered_tree
{
public:
    OBJECT* add(OBJECT::SEDQ_OBJECT_TYPE type, OBJECT* parent)
    {
        m_made.push_back(m_tree.add(type, parent));
        return m_made.back();
    }
    OBJECT* node(const char* name, OBJECT* parent)
    {
        OBJECT* made = add(OBJECT::NODE, parent);
        made->set_name(name);
        return made;
    }
    OBJECT* bus(std::initializer_list<const char*> names, OBJECT* parent)
    {
        OBJECT* made = add(OBJECT::BUS, parent);
        for (const char* name : names)
            node(name, made);
        return made;
    }
    OBJECT* value(const char* text, const char* radix, OBJECT* parent)
    {
        OBJECT* made = add(OBJECT::BUS_VALUE, parent);
        made->get_property().set_setting_text(P::BUS_VALUE, QString::fromLatin1(text), P::BY_CONTEXT);
        made->get_property().set_setting_text(P::DISPLAY_FORMAT, QString::fromLatin1(radix), P::BY_CONTEXT);
        return made;
    }
    int index_of(const OBJECT* object) const
    {
        for (size_t i = 0; i < m_made.size(); ++i)
            if (m_made[i] == object)
                return int(i);
        return -1;
    }

private:
    sedq_object_tree m_tree;
    std::vector<OBJECT*> m_made;
};

struct TARGET
{
    QString name;
    std::function<void(OBJECT*)> make;
};

std::vector<TARGET> targets()
{
    std::vector<TARGET> all;
    for (int library = 0; library < OBJECT::LIBRARY_TYPE_COUNT; ++library)
        all.push_back({QString::fromLatin1(OBJECT::LIBRARY_STRING[library]),
                       [library](OBJECT* o) { o->set_library_type(OBJECT::SEDQ_LIBRARY_TYPE(library)); }});
    auto kind = [](OBJECT::SEDQ_OBJECT_TYPE type, P::SEDQ_INT_PROPERTY setting, int value) {
        return [=](OBJECT* o) {
            o->set_type(type);
            o->get_property().set(setting, value);
        };
    };
    all.push_back({"node", kind(OBJECT::NODE, P::SELECTED, 0)});
    all.push_back({"high bit", kind(OBJECT::BIT_VALUE, P::BIT_VALUE, 1)});
    all.push_back({"comparison true", kind(OBJECT::COMPARISON_OPERATOR, P::COMPARISON, OBJECT::COMPARISON_TRUE)});
    all.push_back({"comparison false", kind(OBJECT::COMPARISON_OPERATOR, P::COMPARISON, OBJECT::COMPARISON_FALSE)});
    all.push_back({"arithmetic shift", kind(OBJECT::SHIFT_OPERATOR, P::SHIFT_TYPE, OBJECT::SHIFT_ARITHMETIC)});
    all.push_back({"rotate right", [](OBJECT* o) {
                       o->set_type(OBJECT::SHIFT_OPERATOR);
                       o->get_property().set(P::SHIFT_TYPE, OBJECT::SHIFT_ROTATE);
                       o->get_property().set(P::SHIFT_DIRECTION, OBJECT::SHIFT_RIGHT);
                   }});
    all.push_back({"incremental route", kind(OBJECT::INCREMENTAL_ROUTE_CONDITION, P::SELECTED, 0)});
    all.push_back({"level result", kind(OBJECT::LEVEL_RESULT, P::SELECTED, 0)});
    all.push_back({"unknown", kind(OBJECT::UNKNOWN, P::SELECTED, 0)});
    return all;
}

struct SETTINGS
{
    const char* name;
    std::function<void(OBJECT*)> apply;
};

void set_texts(OBJECT* o, const char* value, const char* radix)
{
    o->get_property().set_setting_text(P::BUS_VALUE, QString::fromLatin1(value), P::BY_CONTEXT);
    o->get_property().set_setting_text(P::DISPLAY_FORMAT, QString::fromLatin1(radix), P::BY_CONTEXT);
}

const SETTINGS SETTING_SETS[] = {
    {"plain", [](OBJECT*) {}},
    {"named, pipelined, delayed, lsb first",
     [](OBJECT* o) {
         o->set_name("obj'1");
         o->get_property().set(P::PIPELINE_LENGTH, 2);
         o->get_property().set(P::DATA_DELAY, 3);
         o->get_property().set(P::BIT_ORDER, 1);
     }},
    {"run-time settings",
     [](OBJECT* o) {
         P& p = o->get_property();
         p.set(P::CONFIGURABLE, 1);
         p.set(P::SIGNED_COMPARISON, 1);
         p.set(P::SHIFT_DISTANCE, 2);
         p.set(P::COUNTER_VALUE, 5);
         p.set(P::COUNTER_HOLD, 1);
         p.set(P::BIT_VALUE, 1);
         p.set(P::MODULE_NAME, QStringLiteral("my_mod"));
         p.set(P::CONFIG_BITSTREAM, QStringLiteral("0110"));
         o->set_pattern("R1X");
         set_texts(o, "1F", "Hexadecimal");
         o->set_incremental_texts(QStringLiteral("R1"), QStringLiteral("F0"), QStringLiteral("'a','b'"));
     }},
    {"odd settings",
     [](OBJECT* o) {
         P& p = o->get_property();
         o->set_name("x\\y");
         p.set(P::DATA_DELAY, 0);
         p.set(P::COUNTER_VALUE, 300);
         p.set(P::SHIFT_DISTANCE, 9);
         p.set(P::CONFIG_BITSTREAM, QStringLiteral("01a"));
         o->set_pattern("R1XZ");
         set_texts(o, "-3", "Decimal");
         o->set_incremental_texts(QStringLiteral("X"), QString(), QString());
     }},
};

struct SHAPE
{
    const char* name;
    std::function<void(numbered_tree&, OBJECT*)> build;
};

const SHAPE SHAPES[] = {
    {"no inputs", [](numbered_tree&, OBJECT*) {}},
    {"one node", [](numbered_tree& t, OBJECT* o) { t.node("a", o); }},
    {"two nodes", [](numbered_tree& t, OBJECT* o) {
         t.node("b", o);
         t.node("a", o);
     }},
    {"a 3-bit bus", [](numbered_tree& t, OBJECT* o) { t.bus({"n0", "n1", "n2"}, o); }},
    {"a bus and a value", [](numbered_tree& t, OBJECT* o) {
         t.bus({"n0", "n1", "n2"}, o);
         t.value("5", "Decimal", o);
     }},
    {"buses of 1 and 2 bits", [](numbered_tree& t, OBJECT* o) {
         t.bus({"x"}, o);
         t.bus({"y", "z"}, o);
     }},
    {"a hex value", [](numbered_tree& t, OBJECT* o) { t.value("A", "Hexadecimal", o); }},
    {"a fixed decimal value",
     [](numbered_tree& t, OBJECT* o) { t.value("3", "Decimal", o)->get_property().set(P::CONFIGURABLE, 1); }},
    {"an operator and a node", [](numbered_tree& t, OBJECT* o) {
         OBJECT* inner = t.add(OBJECT::LOGICAL_OPERATOR, o);
         inner->get_property().set(P::LOGICAL, 1);
         t.node("q", inner);
         t.node("p", inner);
         t.node("c", o);
     }},
};

// Where the object stands: straight under the Result in the first condition, or as the first
// input of an Equality beside a 4-bit bus (which gives values and shifts a width) in a later
// condition, writing the second node list.
struct PLACE
{
    const char* name;
    bool beside_bus;
    int condition;
    bool first_list;
};
const PLACE PLACES[] = {{"under the result", false, 1, true}, {"beside a 4-bit bus", true, 2, false}};

QString row(const TARGET& target, const SETTINGS& settings, const SHAPE& shape, const PLACE& place)
{
    numbered_tree tree;
    OBJECT* result = tree.add(OBJECT::LEVEL_RESULT, nullptr);
    OBJECT* parent = result;
    if (place.beside_bus)
    {
        parent = tree.add(OBJECT::COMPARISON_OPERATOR, result);
        parent->get_property().set(P::COMPARISON, OBJECT::COMPARISON_EQUALITY);
    }
    OBJECT* object = tree.add(OBJECT::NODE, parent);
    target.make(object);
    settings.apply(object);
    shape.build(tree, object);
    if (place.beside_bus)
        tree.bus({"b3", "b2", "b1", "b0"}, parent);

    QString checked;
    OBJECT::SEDQ_ERROR_TYPE error = OBJECT::ERROR_NONE;
    OBJECT* culprit = nullptr;
    result->get_equation(&checked, nullptr, nullptr, &error, &culprit, place.condition, place.first_list);
    return QStringLiteral("%1 | %2 | %3 | %4 => %5 | error %6 at %7 | %8")
        .arg(target.name, QString::fromLatin1(settings.name), QString::fromLatin1(shape.name),
             QString::fromLatin1(place.name), checked)
        .arg(int(error))
        .arg(tree.index_of(culprit))
        .arg(result->get_structure_equation());
}

QStringList all_rows()
{
    QStringList rows;
    for (const TARGET& target : targets())
        for (const SETTINGS& settings : SETTING_SETS)
            for (const SHAPE& shape : SHAPES)
                for (const PLACE& place : PLACES)
                    rows << row(target, settings, shape, place);
    return rows;
}

QStringList read_lines(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return {};
    QStringList lines = QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'));
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    return lines;
}

void write_lines(const QString& path, const QStringList& lines)
{
    QFile file(path);
    if (file.open(QIODevice::WriteOnly | QIODevice::Text | QIODevice::Truncate))
        file.write((lines.join(QLatin1Char('\n')) + QLatin1Char('\n')).toUtf8());
}
} // namespace

TEST(sedq_object_equation_kinds, every_kind_writes_its_golden_text)
{
    const QStringList actual = all_rows();
    write_lines(QStringLiteral(SEDQ_BINARY_DIR "/equation_kinds.actual.txt"), actual);
    const QStringList expected =
        read_lines(QStringLiteral(SEDQ_TEST_DATA_DIR "/advanced_trigger/cases/equation_kinds.expected.txt"));
    ASSERT_EQ(actual.size(), expected.size()) << "rows written against the golden file's";
    for (int i = 0; i < actual.size(); ++i)
        ASSERT_EQ(actual.at(i).toStdString(), expected.at(i).toStdString()) << "row " << i + 1;
}
