#pragma once
// The texts a widget paints (within `area`, all of it when empty), in painting order: the
// widget is rendered onto a device whose engine keeps every text item instead of drawing it.

#include <QPaintDevice>
#include <QPaintEngine>
#include <QPainterPath>
#include <QStringList>
#include <QWidget>

namespace sedq_test
{
class text_recording_engine : public QPaintEngine
{
public:
    text_recording_engine() : QPaintEngine(QPaintEngine::AllFeatures) {}
    bool begin(QPaintDevice*) override { return true; }
    bool end() override { return true; }
    void updateState(const QPaintEngineState&) override {}
    void drawPixmap(const QRectF&, const QPixmap&, const QRectF&) override {}
    void drawPath(const QPainterPath&) override {}
    void drawPolygon(const QPointF*, int, PolygonDrawMode) override {}
    void drawTextItem(const QPointF&, const QTextItem& item) override { texts << item.text(); }
    Type type() const override { return QPaintEngine::User; }

    QStringList texts;
};

class text_recording_device : public QPaintDevice
{
public:
    explicit text_recording_device(QSize size) : m_size(size) {}
    QPaintEngine* paintEngine() const override { return &m_engine; }
    QStringList texts() const { return m_engine.texts; }

protected:
    int metric(PaintDeviceMetric metric) const override
    {
        switch (metric)
        {
        case PdmWidth:
            return m_size.width();
        case PdmHeight:
            return m_size.height();
        case PdmDepth:
            return 32;
        case PdmDpiX:
        case PdmDpiY:
        case PdmPhysicalDpiX:
        case PdmPhysicalDpiY:
            return 96;
        case PdmDevicePixelRatio:
            return 1;
        case PdmDevicePixelRatioScaled:
            return int(QPaintDevice::devicePixelRatioFScale());
        default:
            return QPaintDevice::metric(metric);
        }
    }

private:
    QSize m_size;
    mutable text_recording_engine m_engine;
};

inline QStringList painted_texts(QWidget* widget, QRect area = QRect())
{
    text_recording_device device(widget->size());
    widget->render(&device, area.topLeft(), area.isEmpty() ? QRegion(widget->rect()) : QRegion(area));
    return device.texts();
}
} // namespace sedq_test
