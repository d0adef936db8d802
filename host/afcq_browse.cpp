// AFCQ_LINE_EDIT_BROWSE_BUTTON: the file name field with path completion and the browse button
// that opens the host's file dialog.
#include "host/afcq.h"

#include <QCompleter>
#include <QDir>
#include <QFileInfo>
#include <QFileSystemModel>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QRegularExpression>
#include <QToolButton>

namespace
{
// "Text (*.a *.b)": the form Qt's file dialog splits into patterns.
QString dialog_filter(const QString& filter)
{
    const int open = filter.lastIndexOf(QLatin1Char('('));
    const QString name = open > 0 ? filter.left(open).trimmed() : QString();
    const QString patterns = AFCQ_LINE_EDIT_BROWSE_BUTTON::filter_patterns(filter).join(QLatin1Char(' '));
    return name.isEmpty() ? patterns : name + QStringLiteral(" (") + patterns + QLatin1Char(')');
}
} // namespace

AFCQ_LINE_EDIT_BROWSE_BUTTON::AFCQ_LINE_EDIT_BROWSE_BUTTON(QWidget* parent)
    : QWidget(parent), m_edit(new QLineEdit(this)), m_button(new QToolButton(this)),
      m_model(new QFileSystemModel(this)), m_title(tr("Select File"))
{
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_edit, 1);
    layout->addWidget(m_button);
    m_button->setText(QStringLiteral("..."));
    m_button->setToolTip(tr("Browse"));
    m_model->setNameFilterDisables(false);
    // The whole file system: the completion walks down from whatever the user types.
    m_model->setRootPath(QString());
    auto* completer = new QCompleter(m_model, this);
    completer->setCompletionMode(QCompleter::PopupCompletion);
    m_edit->setCompleter(completer);
    connect(m_button, &QToolButton::clicked, this, &AFCQ_LINE_EDIT_BROWSE_BUTTON::browse);
    connect(m_edit, &QLineEdit::editingFinished, this, &AFCQ_LINE_EDIT_BROWSE_BUTTON::on_edit_finished);
}

QStringList AFCQ_LINE_EDIT_BROWSE_BUTTON::filter_patterns(const QString& filter)
{
    const int open = filter.lastIndexOf(QLatin1Char('('));
    const int close = filter.lastIndexOf(QLatin1Char(')'));
    const QString list = open >= 0 && close > open ? filter.mid(open + 1, close - open - 1) : filter;
    QStringList patterns;
    for (const QString& pattern : list.split(QRegularExpression(QStringLiteral("[;\\s]+")), Qt::SkipEmptyParts)) {
        const QString any = pattern == QLatin1String("*.*") ? QStringLiteral("*") : pattern;
        if (!patterns.contains(any))
            patterns << any;
    }
    return patterns;
}

void AFCQ_LINE_EDIT_BROWSE_BUTTON::set_filters(const QStringList& filters)
{
    m_filters = filters;
}

void AFCQ_LINE_EDIT_BROWSE_BUTTON::set_name_filters(const QStringList& filters)
{
    QStringList patterns;
    for (const QString& filter : filters)
        for (const QString& pattern : filter_patterns(filter))
            if (!patterns.contains(pattern))
                patterns << pattern;
    // An empty list shows every file, as "*" would.
    m_model->setNameFilters(patterns.contains(QStringLiteral("*")) ? QStringList() : patterns);
}

void AFCQ_LINE_EDIT_BROWSE_BUTTON::browse()
{
    AFCQ_FILE_DLG dialog(this);
    dialog.setWindowTitle(m_title);
    dialog.setAcceptMode(m_save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(m_save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    QStringList filters;
    for (const QString& filter : m_filters)
        filters << dialog_filter(filter);
    if (!filters.isEmpty())
        dialog.setNameFilters(filters);
    const QString text = m_edit->text().trimmed();
    if (!text.isEmpty()) {
        const QFileInfo current(text);
        if (current.absoluteDir().exists())
            dialog.setDirectory(current.absoluteDir());
        dialog.selectFile(current.fileName());
    }
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return;
    m_edit->setText(QDir::toNativeSeparators(dialog.selectedFiles().first()));
    m_edit->setModified(false);
    emit browse_editing_finished();
}

void AFCQ_LINE_EDIT_BROWSE_BUTTON::set_read_only(bool read_only)
{
    m_edit->setReadOnly(read_only);
}

void AFCQ_LINE_EDIT_BROWSE_BUTTON::set_edit_palette(const QPalette& palette)
{
    m_edit->setPalette(palette);
}

void AFCQ_LINE_EDIT_BROWSE_BUTTON::on_edit_finished()
{
    if (!m_edit->isModified())
        return;
    m_edit->setModified(false);
    emit browse_editing_finished();
}
