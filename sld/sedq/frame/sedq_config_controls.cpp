// The small controls of the signal configuration pane: line edit, sample depth, segment and
// storage qualifier combo boxes, and the combo selection by text.
#include "sedq/frame/sedq_config_controls.h"

#include "sedq/model/sedq_verify.h"

#include <QIcon>
#include <QListView>
#include <QSignalBlocker>
#include <QStringListModel>

namespace
{
constexpr int KILO = 1024;
constexpr int SMALLEST_DEPTH_SHIFT = 32;
// The characters an instance list is wide enough for before the pane stretches it.
constexpr int INSTANCE_LIST_CHARACTERS = 12;

// "%1  %2 sample segments" with each number in thousands ("%1 K") once it reaches 1024.
QString segment_text(int segments, int size)
{
    const QString count =
        segments >= KILO ? QStringLiteral("%1 K").arg(segments / KILO) : QString::number(segments);
    const QString samples = size >= KILO ? QStringLiteral("%1 K").arg(size / KILO) : QString::number(size);
    return QStringLiteral("%1  %2 sample segments").arg(count, samples);
}
} // namespace

// ---- SEDQ_INSTANCE_COMBO_BOX ------------------------------------------------------------------

// The names, and one icon for all of them.
class SEDQ_INSTANCE_COMBO_BOX::NAMES : public QStringListModel
{
public:
    explicit NAMES(QObject* parent) : QStringListModel(parent) {}

    QIcon m_icon;

    QVariant data(const QModelIndex& index, int role) const override
    {
        if (role == Qt::DecorationRole)
            return index.isValid() ? QVariant(m_icon) : QVariant();
        return QStringListModel::data(index, role);
    }
};

// Neither the box nor its list measures the names: a box sized to its longest name would
// widen the pane past the window and lay out every name in full on each refresh, and its list
// would do so again when it opens. Every row is as high as the first; a name wider than the
// list is elided in the middle, where a hierarchy path repeats itself least.
SEDQ_INSTANCE_COMBO_BOX::SEDQ_INSTANCE_COMBO_BOX(QWidget* parent)
    : QComboBox(parent), m_names(new NAMES(this))
{
    setModel(m_names);
    setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    setMinimumContentsLength(INSTANCE_LIST_CHARACTERS);
    if (auto* list = qobject_cast<QListView*>(view()))
        list->setUniformItemSizes(true);
    view()->setTextElideMode(Qt::ElideMiddle);
}

void SEDQ_INSTANCE_COMBO_BOX::set_names(const QStringList& names, const QIcon& icon)
{
    if (count() > 0)
        clear();
    m_names->m_icon = icon;
    m_names->setStringList(names);
    if (currentIndex() < 0 && count() > 0)
        setCurrentIndex(0);
}

// ---- SEDQ_LINE_EDIT ----------------------------------------------------------------------------

SEDQ_LINE_EDIT::SEDQ_LINE_EDIT(QWidget* parent) : QLineEdit(parent)
{
    connect(this, &QLineEdit::editingFinished, this, &SEDQ_LINE_EDIT::on_editing_finished);
}

void SEDQ_LINE_EDIT::on_editing_finished()
{
    Q_EMIT editing_finished(text());
}

// ---- SEDQ_SAMPLE_DEPTH_COMBO_BOX ---------------------------------------------------------------

SEDQ_SAMPLE_DEPTH_COMBO_BOX::SEDQ_SAMPLE_DEPTH_COMBO_BOX(QWidget* parent) : QComboBox(parent) {}

void SEDQ_SAMPLE_DEPTH_COMBO_BOX::current_index_changed(int index)
{
    Q_EMIT sample_depth_selected(index >= 1);
    if (index == 0)
        Q_EMIT zero_sample_depth_selected(false);
}

// ---- SEDQ_SEGMENT_COMBO_BOX --------------------------------------------------------------------

SEDQ_SEGMENT_COMBO_BOX::SEDQ_SEGMENT_COMBO_BOX(QWidget* parent) : QComboBox(parent) {}

QStringList SEDQ_SEGMENT_COMBO_BOX::segment_texts(int index)
{
    if (index == 0)
        return {QStringLiteral("0 segments")};
    QStringList texts;
    if (index < 0 || index > MAX_DEPTH_INDEX)
        return texts;
    const int depth = SMALLEST_DEPTH_SHIFT << index;
    for (int segments = 2; segments <= depth; segments *= 2)
        texts << segment_text(segments, depth / segments);
    return texts;
}

// A new list is no choice of the user: nothing is reported while it is built, so that the
// first item never overwrites the stored segmentation (the pane selects that afterwards).
void SEDQ_SEGMENT_COMBO_BOX::sample_depth_changed(int index)
{
    const QSignalBlocker blocker(this);
    clear();
    // A depth combo being cleared passes index -1: nothing to offer then.
    if (index < 0)
        return;
    if (index > MAX_DEPTH_INDEX)
    {
        SEDQ_REPORT("index <= 12");
        return;
    }
    addItems(segment_texts(index));
    // Depth 0 cannot be segmented; otherwise the "Segmented:" box decides.
    if (index == 0)
        setEnabled(false);
}

// ---- SEDQ_STORAGE_COMBO_BOX --------------------------------------------------------------------

SEDQ_STORAGE_COMBO_BOX::SEDQ_STORAGE_COMBO_BOX(QWidget* parent) : QComboBox(parent) {}

void SEDQ_STORAGE_COMBO_BOX::current_index_changed(QString const& text)
{
    Q_EMIT input_port_selected(text == QLatin1String("Input port"));
    Q_EMIT storage_qualifier_selected(text != QLatin1String("Continuous"));
}

// ---- selection by text -------------------------------------------------------------------------

bool sedq_set_current_index(QComboBox* box, QString const& text, Qt::MatchFlags flags)
{
    const int index = box != nullptr ? box->findText(text, flags) : -1;
    if (index < 0)
        return false;
    box->setCurrentIndex(index);
    return true;
}
