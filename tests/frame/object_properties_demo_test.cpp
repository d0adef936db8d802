// Object properties on the demo, as a user reaches them in the window: the serial instance's
// second advanced level, its Bus selected on the canvas, Properties through the canvas's
// shortcut, the bit order changed and kept through a save and a reopening.
#include "frame_test_support.h"
#include "canvas_user_steps.h"
#include "support/demo_files.h"
#include "support/painted_texts.h"

#include "sedq/advanced_trigger/sedq_object.h"
#include "sedq/advanced_trigger/sedq_general_widget.h"
#include "sedq/advanced_trigger/sedq_object_properties_dlg.h"
#include "sedq/advanced_trigger/sedq_object_widget.h"
#include "sedq/advanced_trigger/sedq_parameter_setting_view.h"
#include "sedq/advanced_trigger/sedq_parameter_widget.h"
#include "sedq/advanced_trigger/sedq_trigger_object.h"
#include "host/sdr/sdr_tx_session.h"
#include "host/standin/qui_control.h"
#include "sedq/frame/sedq_layout_widget.h"
#include "view/sedq_modal_step.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QWindow>

#include <map>
#include <tuple>
#include "sedq/model/sedq_repository.h"

namespace
{
constexpr int SERIAL_INSTANCE = 1;
constexpr int PRESET_LEVEL = 1; // the second advanced level, counted from 0

class object_properties_demo_test : public frame_test
{
protected:
    // The window on a copy of the demo, showing the serial instance's preset level.
    SEDQ_OBJECT_WIDGET* open_preset_level(const QString& path)
    {
        m_frame = open_frame(path);
        return show_trigger_level(m_frame, SERIAL_INSTANCE, PRESET_LEVEL);
    }

    // Selects the Bus on the canvas and presses Alt with the keypad's Enter there; `step` sees
    // the dialog before the host's responder presses OK.
    void properties_of_the_bus(SEDQ_OBJECT_WIDGET* canvas, std::function<void(SEDQ_OBJECT_PROPERTIES_DLG*)> step)
    {
        ASSERT_TRUE(canvas != nullptr && canvas->get_object_list() != nullptr);
        SEDQ_OBJECT* bus = nullptr;
        for (SEDQ_OBJECT* object : *canvas->get_object_list())
            if (object->get_type() == SEDQ_OBJECT::BUS)
                bus = object;
        ASSERT_NE(bus, nullptr);
        canvas->ensure_visible(bus);
        ASSERT_EQ(canvas->get_selection_count(), 1);
        bool seen = false;
        on_next_modal<SEDQ_OBJECT_PROPERTIES_DLG>(
            [&](SEDQ_OBJECT_PROPERTIES_DLG* dialog)
            {
                seen = dialog != nullptr;
                if (seen)
                    step(dialog);
            });
        canvas->activateWindow();
        canvas->setFocus(Qt::OtherFocusReason);
        // Through the window system, as a key the user presses: the shortcut map sees it first.
        QTest::keyClick(canvas->window()->windowHandle(), Qt::Key_Enter, Qt::AltModifier | Qt::KeypadModifier);
        settle();
        EXPECT_TRUE(seen) << "the shortcut opens the dialog";
    }

    static void choose_bit_order(SEDQ_OBJECT_PROPERTIES_DLG* dialog, const QString& order, QString* before)
    {
        SEDQ_PARAMETER_WIDGET* page = dialog->get_parameter_widget();
        SEDQ_PARAMETER_SETTING_VIEW* table = page->get_setting_view();
        for (int row = 0; row < table->get_model()->rowCount(); ++row)
            if (table->get_name(row) == "Bit Order")
                table->selectionModel()->select(table->get_model()->index(row, 0), QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
        *before = page->get_setting_combo()->currentText();
        if (!order.isEmpty())
            page->get_setting_combo()->setCurrentIndex(page->get_setting_combo()->findText(order));
    }

    std::string equation_of_the_preset()
    {
        SDR_TX_TRIGGER* uart = SEDQ_REPOSITORY::session(m_frame->get_tx_manager())->get_trigger_at(SERIAL_INSTANCE, false);
        auto* condition = static_cast<SEDQ_TRIGGER_OBJECT*>(uart->get_advanced_trigger_root(PRESET_LEVEL, false));
        std::string equation;
        EXPECT_TRUE(condition != nullptr && condition->get_equation(&equation, nullptr, uart, PRESET_LEVEL + 1, false));
        return equation;
    }

    SEDQ_FRAME_WND* m_frame = nullptr;
};
} // namespace

TEST_F(object_properties_demo_test, the_bit_order_set_in_properties_is_saved_and_shown_again)
{
    const QString path = m_dir.filePath("demo.vtl");
    ASSERT_TRUE(QFile::copy(sedq_demo_file("demo.vtl"), path));
    SEDQ_OBJECT_WIDGET* canvas = open_preset_level(path);
    const std::string before = equation_of_the_preset();
    ASSERT_NE(before.find("{'uart_tx|data[7]','uart_tx|data[6]'"), std::string::npos) << before;
    EXPECT_FALSE(m_frame->isWindowModified());
    QString shown;
    properties_of_the_bus(canvas,
                          [&](SEDQ_OBJECT_PROPERTIES_DLG* dialog)
                          {
                              EXPECT_EQ(dialog->get_tab_widget()->currentIndex(),
                                        SEDQ_OBJECT_PROPERTIES_DLG::PARAMETERS_PAGE);
                              choose_bit_order(dialog, "MSB to LSB", &shown);
                          });
    EXPECT_EQ(shown, "LSB to MSB") << "the preset's bus counts its first input as the least significant bit";
    EXPECT_TRUE(m_frame->isWindowModified());
    ASSERT_TRUE(m_frame->get_tx_manager()->save_document(path.toLocal8Bit().constData()));
    close_frame(m_frame);

    canvas = open_preset_level(path);
    EXPECT_NE(equation_of_the_preset().find("{'uart_tx|data[0]','uart_tx|data[1]'"), std::string::npos)
        << equation_of_the_preset();
    properties_of_the_bus(canvas, [&](SEDQ_OBJECT_PROPERTIES_DLG* dialog) { choose_bit_order(dialog, "", &shown); });
    EXPECT_EQ(shown, "MSB to LSB");
}

// The canvas keeps its Properties dialog between uses; opened again it holds nothing of the
// last use: not what was typed and cancelled, nor the page, the state of OK or the focus.
TEST_F(object_properties_demo_test, the_dialog_opened_again_shows_only_the_new_selection)
{
    const QString path = m_dir.filePath("demo.vtl");
    ASSERT_TRUE(QFile::copy(sedq_demo_file("demo.vtl"), path));
    SEDQ_OBJECT_WIDGET* canvas = open_preset_level(path);
    const int count = canvas->get_object_list()->size();
    struct OPENED
    {
        int page;
        bool ok;
        int kind;
        QString alias;
        QWidget* focus;
        bool operator==(const OPENED& other) const
        {
            return std::tie(page, ok, kind, alias, focus) ==
                   std::tie(other.page, other.ok, other.kind, other.alias, other.focus);
        }
    };
    // Insert on the selected Bus: what the dialog opens with, then `then` on it, then Cancel.
    auto insert = [&](std::function<void(SEDQ_OBJECT_PROPERTIES_DLG*)> then)
    {
        OPENED opened{-1, true, 0, QStringLiteral("?"), nullptr};
        on_next_modal<SEDQ_OBJECT_PROPERTIES_DLG>(
            [&](SEDQ_OBJECT_PROPERTIES_DLG* dialog)
            {
                ASSERT_NE(dialog, nullptr);
                SEDQ_GENERAL_WIDGET* general = dialog->get_general_widget();
                opened = {dialog->get_tab_widget()->currentIndex(),
                          dialog->get_button_box()->button(QDialogButtonBox::Ok)->isEnabled(),
                          general->get_type_combo()->currentIndex(), general->get_alias_edit()->text(),
                          dialog->focusWidget()};
                then(dialog);
                dialog->reject();
            });
        for (SEDQ_OBJECT* object : *canvas->get_object_list())
            if (object->get_type() == SEDQ_OBJECT::BUS)
                canvas->ensure_visible(object);
        EXPECT_EQ(canvas->get_selection_count(), 1);
        canvas->setFocus(Qt::OtherFocusReason);
        QTest::keyClick(canvas->window()->windowHandle(), Qt::Key_I);
        settle();
        EXPECT_EQ(canvas->get_object_list()->size(), count) << "the cancelled insertion is taken back";
        return opened;
    };

    const OPENED first = insert(
        [](SEDQ_OBJECT_PROPERTIES_DLG* dialog)
        {
            SEDQ_GENERAL_WIDGET* general = dialog->get_general_widget();
            general->get_type_combo()->setCurrentIndex(2);
            QLineEdit* edit = general->get_alias_edit();
            edit->setFocus(Qt::TabFocusReason);
            QTest::keyClicks(edit, "scratch");
            QTest::keyClick(edit, Qt::Key_Escape);
        });
    EXPECT_EQ(first.page, SEDQ_OBJECT_PROPERTIES_DLG::GENERAL_PAGE);
    EXPECT_FALSE(first.ok) << "no kind is chosen yet";
    EXPECT_EQ(first.kind, -1);
    EXPECT_EQ(first.alias, "");

    QString alias;
    QString shown;
    auto properties = [&](const QString& order)
    {
        properties_of_the_bus(canvas,
                              [&](SEDQ_OBJECT_PROPERTIES_DLG* dialog)
                              {
                                  EXPECT_EQ(dialog->get_tab_widget()->currentIndex(),
                                            SEDQ_OBJECT_PROPERTIES_DLG::PARAMETERS_PAGE);
                                  EXPECT_TRUE(dialog->get_button_box()->button(QDialogButtonBox::Ok)->isEnabled());
                                  alias = dialog->get_general_widget()->get_alias_edit()->text();
                                  choose_bit_order(dialog, order, &shown);
                                  if (!order.isEmpty())
                                      dialog->reject();
                              });
    };
    properties("MSB to LSB");
    QString stored;
    for (SEDQ_OBJECT* object : *canvas->get_object_list())
        if (object->get_type() == SEDQ_OBJECT::BUS)
            stored = object->get_property()[SEDQ_PROPERTY::ALIAS];
    EXPECT_EQ(alias, stored) << "the Bus's own alias, not the one typed into the cancelled insertion";
    EXPECT_EQ(shown, "LSB to MSB");
    EXPECT_EQ(insert([](SEDQ_OBJECT_PROPERTIES_DLG*) {}), first);
    properties(QString());
    EXPECT_EQ(shown, "LSB to MSB") << "the cancelled choice is not shown";
    EXPECT_NE(equation_of_the_preset().find("{'uart_tx|data[7]','uart_tx|data[6]'"), std::string::npos)
        << equation_of_the_preset();

    // Properties asked for again from inside the open dialog's event loop gets a dialog of its
    // own, and the open one keeps what it holds.
    properties_of_the_bus(canvas,
                          [&](SEDQ_OBJECT_PROPERTIES_DLG* dialog)
                          {
                              dialog->get_general_widget()->get_alias_edit()->setText("outer");
                              standin::qui::push_dialog_answer(QString(), QDialog::Rejected);
                              canvas->on_properties();
                              EXPECT_EQ(standin::qui::pending_dialog_answers(), 0) << "the inner dialog ran";
                              EXPECT_TRUE(dialog->isVisible());
                              EXPECT_EQ(dialog->get_general_widget()->get_alias_edit()->text(), "outer");
                          });
    for (SEDQ_OBJECT* object : *canvas->get_object_list())
        if (object->get_type() == SEDQ_OBJECT::BUS)
            EXPECT_EQ(object->get_property()[SEDQ_PROPERTY::ALIAS], "outer");
}

namespace
{
// Counts the repaints of the lists of one window (their viewports').
class list_paints : public QObject
{
public:
    explicit list_paints(QWidget* window) : m_window(window) { qApp->installEventFilter(this); }
    ~list_paints() override { qApp->removeEventFilter(this); }

    std::map<QAbstractItemView*, int> counts;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() != QEvent::Paint)
            return false;
        auto* widget = qobject_cast<QWidget*>(watched);
        auto* view = widget != nullptr ? qobject_cast<QAbstractItemView*>(widget->parentWidget()) : nullptr;
        if (view != nullptr && view->viewport() == widget && view->window() == m_window)
            ++counts[view];
        return false;
    }

private:
    QWidget* m_window;
};
} // namespace

// The Properties dialog opened and cancelled over the window changes nothing the lists show:
// they repaint for the window's activation only when their palette colours an inactive window
// otherwise, as every other widget does.
TEST_F(object_properties_demo_test, a_dialog_over_the_window_repaints_only_lists_that_look_otherwise)
{
    const QString path = m_dir.filePath("demo.vtl");
    ASSERT_TRUE(QFile::copy(sedq_demo_file("demo.vtl"), path));
    SEDQ_OBJECT_WIDGET* canvas = open_preset_level(path);
    QList<QAbstractItemView*> lists;
    for (QAbstractItemView* view : m_frame->findChildren<QAbstractItemView*>())
        if (view->isVisible() && view->window() == m_frame)
            lists.append(view);
    ASSERT_GE(lists.size(), 3) << "the instance list, the hierarchy, the log and the object library";
    auto cancelled_properties = [&] {
        settle();
        list_paints paints(m_frame);
        standin::qui::push_dialog_answer(QString(), QDialog::Rejected);
        canvas->on_properties();
        settle();
        EXPECT_EQ(standin::qui::pending_dialog_answers(), 0) << "the dialog ran";
        return paints.counts;
    };
    EXPECT_EQ(cancelled_properties(), (std::map<QAbstractItemView*, int>{}));

    QAbstractItemView* greyed = lists.first();
    QPalette palette = greyed->palette();
    palette.setColor(QPalette::Inactive, QPalette::Highlight, Qt::gray);
    greyed->setPalette(palette);
    const std::map<QAbstractItemView*, int> repainted = cancelled_properties();
    EXPECT_EQ(repainted.size(), 1u);
    EXPECT_GE(repainted.count(greyed) != 0 ? repainted.at(greyed) : 0, 1) << "its selection greys out";
    EXPECT_FALSE(m_frame->isWindowModified());
}

// The Edit menu on the canvas of the preset level: Select All, Copy and Paste duplicate the
// preset's objects under new names, Delete removes them, Undo and Redo step through, the
// history survives showing another level, and undone to its first snapshot the saved file
// holds the preset's equation again.
TEST_F(object_properties_demo_test, the_edit_menu_edits_the_canvas_and_undo_returns_to_the_preset)
{
    const QString path = m_dir.filePath("demo.vtl");
    ASSERT_TRUE(QFile::copy(sedq_demo_file("demo.vtl"), path));
    SEDQ_OBJECT_WIDGET* canvas = open_preset_level(path);
    ASSERT_TRUE(canvas != nullptr && canvas->get_object_list() != nullptr);
    const std::string preset = equation_of_the_preset();
    const int count = canvas->get_object_list()->size();
    canvas->activateWindow();
    canvas->setFocus(Qt::OtherFocusReason);
    ASSERT_EQ(m_frame->focusWidget(), canvas);
    QUI_EDIT_MENU* menu = m_frame->get_menu_record()->edit_menu;
    for (QAction* action : {menu->select_all_action, menu->copy_action, menu->paste_action})
    {
        action->setEnabled(true);
        action->trigger();
    }
    QStringList names;
    for (SEDQ_OBJECT* object : *canvas->get_object_list())
        names << object->get_name();
    EXPECT_GT(canvas->get_object_list()->size(), count);
    EXPECT_TRUE(names.contains("comparison_1")) << names.join(' ').toStdString();
    EXPECT_TRUE(m_frame->isWindowModified()) << "closing would ask to save";
    menu->delete_action->setEnabled(true);
    menu->delete_action->trigger();
    EXPECT_EQ(canvas->get_object_list()->size(), count) << "the pasted copies were the selection";
    const int position = canvas->get_undo_position();
    menu->undo_action->setEnabled(true);
    menu->undo_action->trigger();
    EXPECT_EQ(canvas->get_undo_position(), position - 1);
    QTabWidget* tabs = m_frame->get_layout_widget()->get_data_setup_tab_widget(-1);
    const int level_page = tabs->currentIndex();
    tabs->setCurrentIndex(level_page - 1);
    settle();
    tabs->setCurrentIndex(level_page);
    settle();
    EXPECT_EQ(canvas->get_undo_position(), position - 1) << "the history resumes where it was";
    while (canvas->get_undo_position() > 0)
        canvas->on_edit_undo();
    EXPECT_EQ(canvas->get_object_list()->size(), count);
    ASSERT_TRUE(m_frame->get_tx_manager()->save_document(path.toLocal8Bit().constData()));
    EXPECT_EQ(equation_of_the_preset(), preset);
}

// A box shows what the condition's formula (the line over the canvas) says of it: OK in one
// object's Properties names the objects that had no name, the Bus too, and the Bus box keeps
// its formula text; a Bit Value dropped from the Object Library shows its value.
TEST_F(object_properties_demo_test, a_box_shows_what_the_formula_says_of_it)
{
    const QString path = m_dir.filePath("demo.vtl");
    ASSERT_TRUE(QFile::copy(sedq_demo_file("demo.vtl"), path));
    SEDQ_OBJECT_WIDGET* canvas = open_preset_level(path);
    const canvas_user_steps user(m_frame, canvas);
    user.properties(user.last_of(SEDQ_OBJECT::BUS_VALUE), [](SEDQ_OBJECT_PROPERTIES_DLG*) {});
    const SEDQ_OBJECT* bus = user.last_of(SEDQ_OBJECT::BUS);
    ASSERT_FALSE(bus->get_name().isEmpty()) << "OK named the objects that had no name";
    QStringList texts = sedq_test::painted_texts(canvas);
    EXPECT_TRUE(texts.contains(bus->get_symbol())) << texts.join('|').toStdString();
    EXPECT_FALSE(texts.contains(bus->get_name())) << texts.join('|').toStdString();

    user.drop_palette_entry(QStringLiteral("Bit Value"), QPoint(canvas->width() / 2, canvas->height() - 60));
    settle();
    const SEDQ_OBJECT* bit = user.last_of(SEDQ_OBJECT::BIT_VALUE);
    ASSERT_NE(bit, nullptr);
    ASSERT_EQ(bit->get_symbol(), "True");
    const QRect box(user.to_widget(bit->get_rect().topLeft()), user.to_widget(bit->get_rect().bottomRight()));
    texts = sedq_test::painted_texts(canvas, box);
    EXPECT_TRUE(texts.contains(bit->get_symbol())) << texts.join('|').toStdString();
}
