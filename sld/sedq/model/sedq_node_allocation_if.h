#pragma once
// How many nodes of one kind the current instance allocates and uses, for an allocation control
// that does not know which node list it counts. An allocation of 0 means automatic: the
// compilation takes as many nodes as the instance uses. Each variant reads and sets its kind
// through the model, which brackets a change as one undoable edit.

class SEDQ_TX_MANAGER;

class SEDQ_NODE_ALLOCATION_IF
{
public:
    explicit SEDQ_NODE_ALLOCATION_IF(SEDQ_TX_MANAGER* manager) : m_manager(manager) {}
    virtual ~SEDQ_NODE_ALLOCATION_IF() = default;
    SEDQ_NODE_ALLOCATION_IF(const SEDQ_NODE_ALLOCATION_IF&) = delete;
    SEDQ_NODE_ALLOCATION_IF& operator=(const SEDQ_NODE_ALLOCATION_IF&) = delete;

    virtual int getNodesAllocated() = 0;
    virtual int getNodesUsed() = 0;
    virtual void setNodesAllocated(int count) = 0;

    bool isAuto();
    // Tells every pane what changed (no sender).
    void update(int hint);

protected:
    SEDQ_TX_MANAGER* m_manager; // borrowed
};

class SEDQ_DATA_NODE_ALLOCATION : public SEDQ_NODE_ALLOCATION_IF
{
public:
    using SEDQ_NODE_ALLOCATION_IF::SEDQ_NODE_ALLOCATION_IF;
    int getNodesAllocated() override;
    int getNodesUsed() override;
    void setNodesAllocated(int count) override;
};

class SEDQ_TRIGGER_NODE_ALLOCATION : public SEDQ_NODE_ALLOCATION_IF
{
public:
    using SEDQ_NODE_ALLOCATION_IF::SEDQ_NODE_ALLOCATION_IF;
    int getNodesAllocated() override;
    int getNodesUsed() override;
    void setNodesAllocated(int count) override;
};

class SEDQ_STORAGE_QUALIFIER_NODE_ALLOCATION : public SEDQ_NODE_ALLOCATION_IF
{
public:
    using SEDQ_NODE_ALLOCATION_IF::SEDQ_NODE_ALLOCATION_IF;
    int getNodesAllocated() override;
    int getNodesUsed() override;
    void setNodesAllocated(int count) override;
};
