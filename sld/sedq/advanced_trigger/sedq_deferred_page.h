#pragma once
// A page of a tab widget that builds its widgets the first time it is needed: shown, or used
// through any of its functions. A dialog that opens on another page then never pays for them.
// Until it is built the page answers for its size with the hints it had when a page of its kind
// was last built in the same look (font, style, resolution), so the dialog takes the size it
// would have with the page built; with no hints known for the look, the page is built at once.

#include <QHash>
#include <QSize>
#include <QWidget>

class SEDQ_DEFERRED_PAGE : public QWidget
{
    Q_OBJECT
public:
    // `kind` names the page among the deferred ones, for the hints it leaves behind.
    SEDQ_DEFERRED_PAGE(const char* kind, QWidget* parent);

    // Builds the widgets now if they were not yet. Building changes nothing the page shows of
    // its data, so const functions of a derived page may ask for it.
    void ensure_built() const;
    bool is_built() const { return m_built; }
    // Builds the widgets now unless the page can answer for its size without them.
    void build_unless_hinted();

    void setVisible(bool visible) override;
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    // Makes the page's widgets and its layout; called once.
    virtual void build() = 0;
    void showEvent(QShowEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    struct HINTS
    {
        QSize size;
        QSize minimum;
    };
    // The hints of every kind of deferred page by kind and look, as last built; a handful.
    static QHash<QString, HINTS>& hints_by_look();
    // The remembered hints of this kind of page in its look (null when none), looked up once:
    // the layouts ask for them many times while the dialog opens.
    const HINTS* remembered() const;
    QString look() const;

    const char* m_kind;
    bool m_built = false;
    mutable bool m_looked_up = false;
    mutable bool m_hinted = false;
    mutable HINTS m_hints;
};
