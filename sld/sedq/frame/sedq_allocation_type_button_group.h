#pragma once
// The "Auto" / "Manual:" choice of one node allocation (data, trigger or storage qualifier).
// "Auto" sets the allocation to 0, which lets the compilation take the nodes in use; "Manual:"
// sets it to the spin box's count. The group owns its allocation object for its whole life.

#include <QButtonGroup>

#include <memory>

class QSpinBox;
class SEDQ_NODE_ALLOCATION_IF;

class SEDQ_ALLOCATION_TYPE_BUTTON_GROUP : public QButtonGroup
{
    Q_OBJECT
public:
    // Button ids of the two choices.
    enum
    {
        AUTO_ID = 0,
        MANUAL_ID = 1
    };

    SEDQ_ALLOCATION_TYPE_BUTTON_GROUP(SEDQ_NODE_ALLOCATION_IF* allocation, QObject* parent);
    ~SEDQ_ALLOCATION_TYPE_BUTTON_GROUP() override;

    void setSpinBox(QSpinBox* spin_box) { m_spin_box = spin_box; }
    QSpinBox* get_spin_box() const { return m_spin_box; }
    SEDQ_NODE_ALLOCATION_IF* get_allocation() const { return m_allocation.get(); }

public Q_SLOTS:
    void rbuttonclicked(int id);

private:
    std::unique_ptr<SEDQ_NODE_ALLOCATION_IF> m_allocation;
    QSpinBox* m_spin_box = nullptr;
};
