#pragma once
// One searchable text of one advanced trigger object as the find engine sees it: by its kind
// the object's name (a Node's, or another object's), a Bus's bus name, the alias, or the long
// name of its display type. The text is read from the object at every search. A match shows
// the object on the canvas, selected alone.

#include "host/uib.h"

#include <vector>

class SEDQ_OBJECT;
class SEDQ_OBJECT_WIDGET;

class SEDQ_OBJECT_FIND_TARGET : public UIB_FIND_TARGET
{
public:
    // The field kinds, bits of the find dialog's "Find in" set.
    enum
    {
        NODE_NAME = 1,
        BUS_NAME = 2,
        OTHER_NAME = 4,
        ALIAS = 8,
        DISPLAY_TYPE = 16
    };

    SEDQ_OBJECT_FIND_TARGET() = default;
    ~SEDQ_OBJECT_FIND_TARGET() override;

    void init(SEDQ_OBJECT_WIDGET* widget, SEDQ_OBJECT* object, GEN_BITSET<unsigned int> const& kind);
    const char* get_text() override;
    // The field of the target's kind, kept in both text caches; the 8-bit one is returned.
    const char* get_string() override;
    void find_action(unsigned long position, unsigned long length) override;
    // The canvas offers no replace.
    void replace_action(unsigned long position, unsigned long length, const char* replacement) override;

    SEDQ_OBJECT* get_object() const { return m_object; }
    SEDQ_OBJECT_WIDGET* get_widget() const { return m_widget; }

private:
    SEDQ_OBJECT_WIDGET* m_widget = nullptr;
    SEDQ_OBJECT* m_object = nullptr;
};

// Appends one target per searchable text of `object` (name or bus name, alias, display type)
// and then those of its inputs, top to bottom; each match shows its object on `widget`. When
// the object is `start`, `start_index` receives where a search from it begins: going up, the
// target before the object's own (0 when there is none); otherwise the last target of the
// object.
void sedq_add_object_find_targets(SEDQ_OBJECT* object, std::vector<UIB_FIND_TARGET*>* targets,
                                  SEDQ_OBJECT_WIDGET* widget, UIB_FIND_ENGINE::DIRECTION direction,
                                  SEDQ_OBJECT* start, unsigned long* start_index);
