#pragma once
// A sunken frame that shows a widget shared by several pages: the one node view or the one
// advanced trigger canvas of the window. The container on show adopts the shared widget; a
// container that dies hands it back parentless, so the shared widget outlives every page.

#include <QFrame>
#include <QPointer>

class SEDQ_CONTAINER_WIDGET : public QFrame
{
    Q_OBJECT
public:
    SEDQ_CONTAINER_WIDGET(QWidget* parent, QWidget* shared);
    ~SEDQ_CONTAINER_WIDGET() override;
    SEDQ_CONTAINER_WIDGET(const SEDQ_CONTAINER_WIDGET&) = delete;
    SEDQ_CONTAINER_WIDGET& operator=(const SEDQ_CONTAINER_WIDGET&) = delete;

    QWidget* get_shared_widget() const { return m_widget; }

protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    QPointer<QWidget> m_widget;
};
