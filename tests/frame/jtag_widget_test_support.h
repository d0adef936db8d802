#pragma once
// Fixture of the JTAG pane tests: the instance manager's counter design on its simulated
// cable, a window over a document of probes, the pane's host controls found by name, user
// input on them, and programming files written the way the compile flow writes them.

#include "instance_widget_test_support.h"

#include "host/standin/afcq_control.h"
#include "host/standin/sldq_control.h"
#include "sedq/frame/sedq_jtag_widget.h"

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QToolButton>

namespace jtag_widget_test
{
using instance_widget_test::probe;

class jtag_widget_fixture : public instance_widget_test::instance_widget_fixture
{
protected:
    static constexpr int ACTION_SOF_ATTACH = AFCQ_SEDQ_SOF_ATTACH_ACTION;
    static constexpr int ACTION_SOF_DELETE = AFCQ_SEDQ_SOF_DELETE_ACTION;
    static constexpr int ACTION_SOF_EXTRACT = AFCQ_SEDQ_SOF_EXTRACT_ACTION;
    static constexpr int ACTION_SOF_PROGRAM = AFCQ_SEDQ_SOF_PROGRAM_ACTION;
    static constexpr int ACTION_SOF_RENAME = AFCQ_SEDQ_SOF_RENAME_ACTION;

    void SetUp() override
    {
        instance_widget_fixture::SetUp();
        standin::sldq::set_program_delay_ms(0);
    }

    // A window over these probes; with `jtag` the document names the cable and device, as the
    // pane shows after the model's refresh.
    SEDQ_JTAG_WIDGET* open_jtag(const std::vector<probe>& probes, bool with_jtag = true)
    {
        open(probes, with_jtag);
        tx()->update_all_views(nullptr, sedq_hint(SEDQ_UPDATE_REFRESH | SEDQ_UPDATE_JTAG));
        refresh();
        return jtag();
    }

    SEDQ_JTAG_WIDGET* jtag() const { return m_frame->get_layout_widget()->get_jtag_widget(); }
    QComboBox* hardware_combo() const { return jtag()->findChild<QComboBox*>("jtag_hardware"); }
    QComboBox* device_combo() const { return jtag()->findChild<QComboBox*>("jtag_device"); }
    QLineEdit* file_edit() const { return jtag()->findChild<QLineEdit*>("jtag_sof_file"); }
    QPushButton* program_button() const { return jtag()->findChild<QPushButton*>("jtag_program"); }
    QPushButton* scan_button() const { return jtag()->findChild<QPushButton*>("jtag_scan"); }
    QToolButton* browse_button() const { return jtag()->findChild<QToolButton*>("jtag_browse"); }
    QString jtag_status() const { return jtag()->get_status_text(); }
    QStandardItemModel* sof_model() const { return jtag()->get_sof_model(); }

    QString stored_hardware() const
    {
        QString name;
        tx()->get_jtag_hardware(&name);
        return name;
    }
    QString stored_device() const
    {
        QString name;
        tx()->get_jtag_device(&name);
        return name;
    }
    QString stored_sof_file() const { return QString::fromLocal8Bit(data()->get_sof_file_name()); }

    // The user picks the next entry of a selector with the keyboard.
    static void choose_next(QComboBox* combo) { QTest::keyClick(combo, Qt::Key_Down); }

    // A programming file of the instances as the document stands now.
    QString compile_to(const QString& name)
    {
        std::string error;
        const QString path = m_dir.filePath(name);
        EXPECT_TRUE(standin::chi::compile(data(), 15, path.toStdString(), &error)) << error;
        return path;
    }

    static QByteArray contents(const QString& path)
    {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    // Embeds files through the attach command, answering its file dialog.
    void attach(const QString& path)
    {
        standin::afcq::push_file_dialog_result(true, path);
        jtag()->on_sof_manager_attach();
        refresh();
    }

    void select_sof_rows(const std::vector<int>& rows) const
    {
        QItemSelectionModel* selection = jtag()->get_sof_table()->selectionModel();
        selection->clearSelection();
        for (int row : rows)
            selection->select(sof_model()->index(row, 0), QItemSelectionModel::Select | QItemSelectionModel::Rows);
    }

    QStringList sof_names() const
    {
        QStringList names;
        for (int row = 0; row < sof_model()->rowCount(); ++row)
            names << sof_model()->item(row, 0)->text();
        return names;
    }

    QStringList sof_headers() const
    {
        QStringList headers;
        for (int column = 0; column < sof_model()->columnCount(); ++column)
            headers << sof_model()->headerData(column, Qt::Horizontal).toString();
        return headers;
    }

    static std::vector<std::string> shown_texts()
    {
        std::vector<std::string> texts;
        for (const auto& message : standin::msg::shown())
            texts.push_back(message.text);
        return texts;
    }
};
} // namespace jtag_widget_test
