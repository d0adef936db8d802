#pragma once
// Host notifications: message ids by name, notify targets with their notify maps, and the
// dispatcher that delivers a notification to every live target.
//
// A target class publishes a static map: a table of {id, handler} entries and a pointer to
// its base class's map, so that lookups walk from the most derived class to the base.

class NTFQ_NOTIFY_TARGET;

// Handler of one notification: the target, data word and flag of the post; the result says
// whether the target handled it. A plain function rather than a member pointer, so that a
// derived class's handler is called on its own type (see ntfq_handler below).
typedef bool (*NTFQ_NOTIFY_HANDLER)(NTFQ_NOTIFY_TARGET* target, unsigned long data, bool flag);

struct NTFQ_NOTIFY_MAP_ENTRY
{
    unsigned int id;
    NTFQ_NOTIFY_HANDLER handler; // null: the id is listed but not handled yet
};

struct NTFQ_NOTIFY_MAP
{
    const NTFQ_NOTIFY_MAP* (*get_base_map)(); // null at the root
    const NTFQ_NOTIFY_MAP_ENTRY* entries;
    int count;
};

// The id of a notification name: stable for the process, counted from 1 in the order of
// first request. Callable during static initialisation.
unsigned int ntfq_get_message(const char* name);

class NTFQ_NOTIFY_TARGET
{
public:
    NTFQ_NOTIFY_TARGET();
    virtual ~NTFQ_NOTIFY_TARGET();

    NTFQ_NOTIFY_TARGET(const NTFQ_NOTIFY_TARGET&) = delete;
    NTFQ_NOTIFY_TARGET& operator=(const NTFQ_NOTIFY_TARGET&) = delete;

    // Finds the first handler of `id` along the map chain and calls it; false when none.
    virtual bool on_ntfq_notify(unsigned int id, unsigned long data, bool flag);
    virtual const NTFQ_NOTIFY_MAP* get_notify_map() const;

    static const NTFQ_NOTIFY_MAP* get_base_notify_map();
};

// The map entry's handler for the member `Handler` of `T`: casts the target to its own class
// first, so the member is never called through a base-class pointer type.
template <class T, bool (T::*Handler)(unsigned long, bool)>
bool ntfq_handler(NTFQ_NOTIFY_TARGET* target, unsigned long data, bool flag)
{
    T* self = dynamic_cast<T*>(target);
    return self != nullptr && (self->*Handler)(data, flag);
}

// Delivers a notification to every live target, in the order they were created; returns
// how many targets handled it. Must be called on the GUI thread.
int ntfq_post(unsigned int id, unsigned long data, bool flag);
