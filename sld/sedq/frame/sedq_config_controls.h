#pragma once
// The small controls of the signal configuration pane. Each turns a plain Qt signal into the
// signals the pane wires between its controls (a depth chosen enables the memory type, a
// storage qualifier type enables its input port) or into the text the model's slots read.
// None of them touches the document.

#include <QComboBox>
#include <QLineEdit>

// A line edit that hands its text along when editing ends.
class SEDQ_LINE_EDIT : public QLineEdit
{
    Q_OBJECT
public:
    explicit SEDQ_LINE_EDIT(QWidget* parent = nullptr);

public Q_SLOTS:
    void on_editing_finished();

Q_SIGNALS:
    void editing_finished(QString text);
};

// The sample depths "0" to "128 K"; item i above 0 stands for 32 << i samples.
class SEDQ_SAMPLE_DEPTH_COMBO_BOX : public QComboBox
{
    Q_OBJECT
public:
    explicit SEDQ_SAMPLE_DEPTH_COMBO_BOX(QWidget* parent = nullptr);

public Q_SLOTS:
    // Tells whether a depth above 0 is chosen; a depth of 0 also clears segmentation.
    void current_index_changed(int index);

Q_SIGNALS:
    void sample_depth_selected(bool selected);
    void zero_sample_depth_selected(bool selected);
};

// The ways of splitting the chosen sample depth into segments, each item starting with the
// number of segments ("16  256 sample segments", "1 K  128 sample segments").
class SEDQ_SEGMENT_COMBO_BOX : public QComboBox
{
    Q_OBJECT
public:
    explicit SEDQ_SEGMENT_COMBO_BOX(QWidget* parent = nullptr);

    // Index of the last sample depth item.
    static constexpr int MAX_DEPTH_INDEX = 12;
    // The items for the sample depth item `index`; the single "0 segments" for depth 0 and
    // none for an index out of 0..MAX_DEPTH_INDEX.
    static QStringList segment_texts(int index);

public Q_SLOTS:
    void sample_depth_changed(int index);
};

// The storage qualifier types, telling which further controls the chosen type needs.
class SEDQ_STORAGE_COMBO_BOX : public QComboBox
{
    Q_OBJECT
public:
    explicit SEDQ_STORAGE_COMBO_BOX(QWidget* parent = nullptr);

public Q_SLOTS:
    void current_index_changed(QString const& text);

Q_SIGNALS:
    void input_port_selected(bool selected);
    void storage_qualifier_selected(bool selected);
};

// The instances a trigger can be connected to, each with the instance icon. A document may
// hold tens of thousands: the box reads the names from one list instead of holding an item
// object per name.
class SEDQ_INSTANCE_COMBO_BOX : public QComboBox
{
    Q_OBJECT
public:
    explicit SEDQ_INSTANCE_COMBO_BOX(QWidget* parent = nullptr);

    // Replaces the items as clearing the box and inserting them would: the current item goes,
    // then the first of the new ones becomes current.
    void set_names(const QStringList& names, const QIcon& icon);

private:
    class NAMES;
    NAMES* m_names;
};

// Makes current the item whose text matches `text` under `flags`; false (box unchanged)
// when none does.
bool sedq_set_current_index(QComboBox* box, QString const& text, Qt::MatchFlags flags);
