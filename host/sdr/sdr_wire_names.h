#pragma once
// The names of the wires a data log was acquired from, in channel order. Runs of a trigger
// mostly acquire the same wires, and a night of runs keeps hundreds of thousands of logs: the
// list is immutable and shared by its copies, so the logs of one set of wires hold it once in
// memory, as the analyzer file stores it once (a log there says it shares the list of the log
// before it). Changing a copy gives that copy a list of its own.

#include <memory>
#include <string>
#include <vector>

class SDR_WIRE_NAMES
{
public:
    using LIST = std::vector<std::string>;

    SDR_WIRE_NAMES() = default;
    SDR_WIRE_NAMES(LIST names) // implicit: a list of names is a value of this type
        : m_list(names.empty() ? nullptr : std::make_shared<const LIST>(std::move(names)))
    {
    }

    const LIST& list() const { return m_list ? *m_list : empty_list(); }
    operator const LIST&() const { return list(); }
    size_t size() const { return list().size(); }
    bool empty() const { return list().empty(); }
    const std::string& operator[](size_t index) const { return list()[index]; }
    LIST::const_iterator begin() const { return list().begin(); }
    LIST::const_iterator end() const { return list().end(); }

    // Whether both hold the one same list (two empty ones do).
    bool shares(const SDR_WIRE_NAMES& other) const { return m_list == other.m_list; }

    void push_back(std::string name)
    {
        LIST names = list();
        names.push_back(std::move(name));
        *this = SDR_WIRE_NAMES(std::move(names));
    }
    void clear() { m_list.reset(); }

    friend bool operator==(const SDR_WIRE_NAMES& a, const SDR_WIRE_NAMES& b)
    {
        return a.shares(b) || a.list() == b.list();
    }
    friend bool operator!=(const SDR_WIRE_NAMES& a, const SDR_WIRE_NAMES& b) { return !(a == b); }
    friend bool operator==(const SDR_WIRE_NAMES& a, const LIST& b) { return a.list() == b; }
    friend bool operator==(const LIST& a, const SDR_WIRE_NAMES& b) { return a == b.list(); }
    friend bool operator!=(const SDR_WIRE_NAMES& a, const LIST& b) { return !(a == b); }
    friend bool operator!=(const LIST& a, const SDR_WIRE_NAMES& b) { return !(a == b); }

private:
    static const LIST& empty_list()
    {
        static const LIST none;
        return none;
    }

    std::shared_ptr<const LIST> m_list;
};
