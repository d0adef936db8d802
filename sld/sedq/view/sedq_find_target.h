#pragma once
// One node row of the view as the find engine sees it: the node's name, searched as a bus name
// for a group row and as a node name otherwise. The name is read again at every search, so a
// rename while the find dialog is open is searched as it now reads.

#include "host/uib.h"

#include <QString>

class SEDQ_FRAME_WND;
class SEDQ_VIEW;

class SEDQ_FIND_TARGET : public UIB_FIND_TARGET
{
public:
    enum
    {
        NODE_NAME = 1,
        BUS_NAME = 2
    };

    SEDQ_FIND_TARGET() = default;
    ~SEDQ_FIND_TARGET() override;

    void init(SEDQ_FRAME_WND* frame, SEDQ_VIEW* view, int node);
    // The node's name in the local 8-bit encoding, valid until the next call on this target.
    const char* get_text() override;
    // Scrolls the view to the node; the selection stays as it is.
    void find_action(unsigned long position, unsigned long length) override;
    // The view's names are never replaced through find.
    void replace_action(unsigned long position, unsigned long length, const char* replacement) override;

    int get_node() const { return m_node; }

private:
    SEDQ_FRAME_WND* m_frame = nullptr;
    SEDQ_VIEW* m_view = nullptr;
    int m_node = -1;
    QString m_name;
};
