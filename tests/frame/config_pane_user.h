#pragma once
// The user's ways of working the controls of a signal configuration pane, each found by its
// object name: choosing a combo item, typing into a field and pressing Return, clicking a
// button or a checkable group box.

#include <QAbstractButton>
#include <QComboBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QTest>
#include <gtest/gtest.h>

class config_pane_user
{
public:
    virtual ~config_pane_user() = default;
    // The pane whose controls the user works.
    virtual QWidget* pane_widget() const = 0;

    template <typename WIDGET = QWidget> WIDGET* control(const char* name) const
    {
        QWidget* pane = pane_widget();
        WIDGET* widget = pane != nullptr ? pane->findChild<WIDGET*>(QString::fromLatin1(name)) : nullptr;
        EXPECT_NE(widget, nullptr) << name;
        return widget;
    }

    void choose(const char* name, const QString& text)
    {
        auto* box = control<QComboBox>(name);
        const int index = box->findText(text);
        ASSERT_GE(index, 0) << name << ": " << text.toStdString();
        box->setCurrentIndex(index);
    }

    void type(const char* name, const QString& text)
    {
        auto* edit = control<QLineEdit>(name);
        edit->selectAll();
        QTest::keyClicks(edit, text);
        QTest::keyClick(edit, Qt::Key_Return);
    }

    void click(const char* name)
    {
        QWidget* widget = control(name);
        if (auto* group = qobject_cast<QGroupBox*>(widget))
        {
            QTest::keyClick(group, Qt::Key_Space);
            return;
        }
        qobject_cast<QAbstractButton*>(widget)->click();
    }
};
