#pragma once
// SDR_CHUNKED_LIST: a list of values kept in implicitly shared chunks of CHUNK_SIZE, so that a
// copy (an undo snapshot) costs one reference count and an edit of the copy detaches only the
// index of chunks and the chunk it touches, never the whole list. Every chunk but the last is
// full, so element i lives at chunk i / CHUNK_SIZE and indexing stays O(1).
//
// The interface is the part of QVector the node lists use. Reads through a const list or `at`
// never detach; non-const element access and non-const iterators detach the element's chunk.
// A list also carries a version: a number taken afresh by every non-const access and kept by a
// copy, so two lists with the same version hold the same values (a cache built from one list
// stays valid while the list's version stays).

#include <QVector>

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <initializer_list>
#include <iterator>
#include <utility>
#include <vector>

template <class T>
class SDR_CHUNKED_LIST
{
public:
    static constexpr int CHUNK_SIZE = 16;
    // Capacity of a list's first chunk, which doubles up to CHUNK_SIZE as it fills: most lists
    // are short, and a document holds a great many of them (later chunks start full size).
    static constexpr int FIRST_CAPACITY = 4;

    using value_type = T;
    using size_type = int;
    using difference_type = int;
    using reference = T&;
    using const_reference = const T&;

    template <class LIST, class REF>
    class ITERATOR
    {
    public:
        using iterator_category = std::random_access_iterator_tag;
        using value_type = T;
        using difference_type = int;
        using reference = REF;
        using pointer = std::remove_reference_t<REF>*;

        ITERATOR() = default;
        ITERATOR(LIST* list, int index) : m_list(list), m_index(index) {}
        // A non-const iterator converts to a const one.
        template <class OTHER_LIST, class OTHER_REF>
        ITERATOR(const ITERATOR<OTHER_LIST, OTHER_REF>& other) : m_list(other.list()), m_index(other.index())
        {
        }

        REF operator*() const { return (*m_list)[m_index]; }
        pointer operator->() const { return &(*m_list)[m_index]; }
        REF operator[](int n) const { return (*m_list)[m_index + n]; }
        ITERATOR& operator++() { ++m_index; return *this; }
        ITERATOR operator++(int) { ITERATOR was = *this; ++m_index; return was; }
        ITERATOR& operator--() { --m_index; return *this; }
        ITERATOR operator--(int) { ITERATOR was = *this; --m_index; return was; }
        ITERATOR& operator+=(int n) { m_index += n; return *this; }
        ITERATOR& operator-=(int n) { m_index -= n; return *this; }
        ITERATOR operator+(int n) const { return ITERATOR(m_list, m_index + n); }
        friend ITERATOR operator+(int n, const ITERATOR& it) { return it + n; }
        ITERATOR operator-(int n) const { return ITERATOR(m_list, m_index - n); }
        int operator-(const ITERATOR& other) const { return m_index - other.m_index; }
        bool operator==(const ITERATOR& other) const { return m_index == other.m_index; }
        bool operator!=(const ITERATOR& other) const { return m_index != other.m_index; }
        bool operator<(const ITERATOR& other) const { return m_index < other.m_index; }
        bool operator>(const ITERATOR& other) const { return m_index > other.m_index; }
        bool operator<=(const ITERATOR& other) const { return m_index <= other.m_index; }
        bool operator>=(const ITERATOR& other) const { return m_index >= other.m_index; }

        LIST* list() const { return m_list; }
        int index() const { return m_index; }

    private:
        LIST* m_list = nullptr;
        int m_index = 0;
    };
    using iterator = ITERATOR<SDR_CHUNKED_LIST, T&>;
    using const_iterator = ITERATOR<const SDR_CHUNKED_LIST, const T&>;

    SDR_CHUNKED_LIST() = default;
    SDR_CHUNKED_LIST(std::initializer_list<T> values)
    {
        for (const T& value : values)
            append(value);
    }
    template <class IT, class = typename std::iterator_traits<IT>::iterator_category>
    SDR_CHUNKED_LIST(IT first, IT last)
    {
        for (; first != last; ++first)
            append(*first);
    }
    SDR_CHUNKED_LIST(const SDR_CHUNKED_LIST&) = default;
    SDR_CHUNKED_LIST& operator=(const SDR_CHUNKED_LIST&) = default;
    SDR_CHUNKED_LIST(SDR_CHUNKED_LIST&& other) noexcept
        : m_chunks(std::move(other.m_chunks)), m_size(other.m_size), m_version(other.m_version)
    {
        other.m_chunks.clear();
        other.m_size = 0;
        other.m_version = next_version();
    }
    SDR_CHUNKED_LIST& operator=(SDR_CHUNKED_LIST&& other) noexcept
    {
        if (this != &other)
        {
            m_chunks = std::move(other.m_chunks);
            m_size = other.m_size;
            m_version = other.m_version;
            other.m_chunks.clear();
            other.m_size = 0;
            other.m_version = next_version();
        }
        return *this;
    }

    // ---- reading (never detaches) ----------------------------------------------------------
    int size() const { return m_size; }
    int count() const { return m_size; }
    int length() const { return m_size; }
    bool isEmpty() const { return m_size == 0; }
    bool empty() const { return m_size == 0; }
    const T& at(int i) const { return m_chunks.at(i / CHUNK_SIZE).at(i % CHUNK_SIZE); }
    const T& operator[](int i) const { return at(i); }
    const T& constFirst() const { return at(0); }
    const T& constLast() const { return at(m_size - 1); }
    const T& first() const { return at(0); }
    const T& last() const { return at(m_size - 1); }
    const T& front() const { return at(0); }
    const T& back() const { return at(m_size - 1); }
    const T value(int i, const T& fallback = T()) const { return i >= 0 && i < m_size ? at(i) : fallback; }
    const_iterator begin() const { return const_iterator(this, 0); }
    const_iterator end() const { return const_iterator(this, m_size); }
    const_iterator cbegin() const { return begin(); }
    const_iterator cend() const { return end(); }
    const_iterator constBegin() const { return begin(); }
    const_iterator constEnd() const { return end(); }
    SDR_CHUNKED_LIST mid(int pos, int length = -1) const
    {
        const int last = length < 0 || pos + length > m_size ? m_size : pos + length;
        SDR_CHUNKED_LIST part;
        for (int i = pos < 0 ? 0 : pos; i < last; ++i)
            part.append(at(i));
        return part;
    }
    std::vector<T> toStdVector() const { return std::vector<T>(begin(), end()); }
    // Equal versions mean equal contents (see above); unequal versions say nothing.
    uint64_t version() const { return m_version; }
    // Whether the two lists share the chunk that holds element i (tests and checks).
    bool shares_chunk_with(const SDR_CHUNKED_LIST& other, int i) const
    {
        const int c = i / CHUNK_SIZE;
        return c < m_chunks.size() && c < other.m_chunks.size() &&
               m_chunks.at(c).constData() == other.m_chunks.at(c).constData();
    }

    // ---- writing (detaches what it touches) ------------------------------------------------
    T& operator[](int i)
    {
        touch();
        return m_chunks[i / CHUNK_SIZE][i % CHUNK_SIZE];
    }
    T& first() { return (*this)[0]; }
    T& last() { return (*this)[m_size - 1]; }
    T& front() { return (*this)[0]; }
    T& back() { return (*this)[m_size - 1]; }
    iterator begin() { return iterator(this, 0); }
    iterator end() { return iterator(this, m_size); }

    void append(const T& value) { append(T(value)); }
    void append(T&& value)
    {
        touch();
        if (m_size % CHUNK_SIZE == 0)
        {
            QVector<T> chunk;
            chunk.reserve(m_chunks.isEmpty() ? FIRST_CAPACITY : CHUNK_SIZE);
            chunk.append(std::move(value));
            m_chunks.append(std::move(chunk));
        }
        else
        {
            QVector<T>& chunk = m_chunks.last();
            if (chunk.size() == chunk.capacity())
                chunk.reserve(std::min(CHUNK_SIZE, 2 * chunk.size()));
            chunk.append(std::move(value));
        }
        ++m_size;
    }
    // Moves the values in, in order, and leaves `values` empty. Each chunk this starts is
    // allocated once, at the size it ends up holding, where appending one at a time grows the
    // last chunk in steps: a list read whole (from a file) costs one allocation per chunk.
    void append_moved(std::vector<T>* values)
    {
        touch();
        size_t next = 0;
        while (next < values->size() && m_size % CHUNK_SIZE != 0)
            append(std::move((*values)[next++]));
        m_chunks.reserve(m_chunks.size() + int((values->size() - next + CHUNK_SIZE - 1) / CHUNK_SIZE));
        while (next < values->size())
        {
            const int n = int(std::min<size_t>(CHUNK_SIZE, values->size() - next));
            QVector<T> chunk;
            chunk.reserve(n);
            for (int k = 0; k < n; ++k)
                chunk.append(std::move((*values)[next++]));
            m_chunks.append(std::move(chunk));
            m_size += n;
        }
        values->clear();
    }
    void append(const SDR_CHUNKED_LIST& other)
    {
        const SDR_CHUNKED_LIST copy = other; // `other` may be this list
        for (const T& value : copy)
            append(value);
    }
    void push_back(const T& value) { append(value); }
    void push_back(T&& value) { append(std::move(value)); }
    SDR_CHUNKED_LIST& operator+=(const T& value) { append(value); return *this; }
    SDR_CHUNKED_LIST& operator+=(const SDR_CHUNKED_LIST& other) { append(other); return *this; }
    SDR_CHUNKED_LIST& operator<<(const T& value) { append(value); return *this; }
    void reserve(int) {}
    void squeeze() {}
    void clear()
    {
        touch();
        m_chunks.clear();
        m_size = 0;
    }
    void resize(int size)
    {
        if (size < m_size)
            truncate(size);
        while (m_size < size)
            append(T());
    }
    void insert(int i, const T& value) { insert(i, 1, value); }
    void insert(int i, int n, const T& value)
    {
        std::vector<T> tail = take_tail(i);
        for (int k = 0; k < n; ++k)
            append(value);
        for (T& moved : tail)
            append(std::move(moved));
    }
    iterator insert(const_iterator before, const T& value)
    {
        const int i = before.index();
        insert(i, value);
        return iterator(this, i);
    }
    void remove(int i) { remove(i, 1); }
    void remove(int i, int n)
    {
        std::vector<T> tail = take_tail(i);
        for (size_t k = size_t(n); k < tail.size(); ++k)
            append(std::move(tail[k]));
    }
    void removeAt(int i) { remove(i, 1); }
    void removeFirst() { remove(0, 1); }
    void removeLast() { truncate(m_size - 1); }
    void pop_back() { removeLast(); }
    iterator erase(const_iterator first, const_iterator last)
    {
        const int i = first.index();
        remove(i, last.index() - i);
        return iterator(this, i);
    }
    iterator erase(const_iterator at) { return erase(at, at + 1); }
    void truncate(int size)
    {
        if (size >= m_size)
            return;
        touch();
        const int chunks = (size + CHUNK_SIZE - 1) / CHUNK_SIZE;
        m_chunks.resize(chunks);
        if (size % CHUNK_SIZE != 0)
            m_chunks.last().resize(size % CHUNK_SIZE);
        m_size = size;
    }

private:
    // Unique across threads without an atomic operation per change: each thread takes a block
    // of numbers at a time.
    static uint64_t next_version()
    {
        constexpr uint64_t BLOCK = uint64_t(1) << 16;
        static std::atomic<uint64_t> blocks{0};
        thread_local uint64_t next = 0;
        thread_local uint64_t end = 0;
        if (next == end)
        {
            next = (blocks.fetch_add(1, std::memory_order_relaxed) + 1) * BLOCK;
            end = next + BLOCK;
        }
        return next++;
    }
    void touch() { m_version = next_version(); }
    // Removes the elements from i on and hands them back.
    std::vector<T> take_tail(int i)
    {
        std::vector<T> tail;
        tail.reserve(size_t(m_size - i));
        for (int k = i; k < m_size; ++k)
            tail.push_back(at(k));
        truncate(i);
        touch();
        return tail;
    }

    QVector<QVector<T>> m_chunks;
    int m_size = 0;
    uint64_t m_version = next_version();
};
