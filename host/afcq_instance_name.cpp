// Node-finder results in drags: the host's MIME form of a list of design names, read back with
// every count and kind checked, so a damaged or foreign drag gives an empty list.
#include "host/afcq.h"
#include "host/standin/afcq_control.h"

#include <QDataStream>
#include <QMimeData>

namespace
{
constexpr quint32 MAGIC = 0x4146494eu; // "AFIN"
constexpr quint32 VERSION = 1;
// kind, flags and four bounds, plus the length word of an empty name
constexpr int MIN_ENTRY_BYTES = 4 + 4 + 16 + 4;
constexpr int MAX_KIND = 3;

const int registered = qRegisterMetaType<AFCQ_INSTANCE_NAME_LIST>("AFCQ_INSTANCE_NAME_LIST");

bool read_entry(QDataStream& in, AFCQ_INSTANCE_NAME* out)
{
    qint32 kind = 0;
    QString name;
    quint32 flags = 0;
    qint32 bounds[4] = {0, 0, 0, 0};
    in >> kind >> name >> flags >> bounds[0] >> bounds[1] >> bounds[2] >> bounds[3];
    if (in.status() != QDataStream::Ok || kind < 0 || kind > MAX_KIND)
        return false;
    *out = AFCQ_INSTANCE_NAME(kind, name, flags, {bounds[0], bounds[1]}, {bounds[2], bounds[3]});
    return true;
}
} // namespace

AFCQ_DATA_TRANSFER_MANAGER* AFCQ_DATA_TRANSFER_MANAGER::get_instance()
{
    (void)registered;
    static AFCQ_DATA_TRANSFER_MANAGER manager;
    return &manager;
}

AFCQ_INSTANCE_NAME_LIST AFCQ_DATA_TRANSFER_MANAGER::get_instance_name_list_transfer_data(const QMimeData* data)
{
    if (data == nullptr || !data->hasFormat(AFCQ_INSTANCE_NAME_LIST_MIME_TYPE))
        return {};
    const QByteArray bytes = data->data(AFCQ_INSTANCE_NAME_LIST_MIME_TYPE);
    QDataStream in(bytes);
    in.setVersion(QDataStream::Qt_5_15);
    quint32 magic = 0;
    quint32 version = 0;
    quint32 count = 0;
    in >> magic >> version >> count;
    if (in.status() != QDataStream::Ok || magic != MAGIC || version != VERSION ||
        count > quint32(bytes.size() / MIN_ENTRY_BYTES))
        return {};
    AFCQ_INSTANCE_NAME_LIST list;
    list.reserve(int(count));
    for (quint32 i = 0; i < count; ++i)
    {
        AFCQ_INSTANCE_NAME entry;
        if (!read_entry(in, &entry))
            return {};
        list.append(entry);
    }
    return list;
}

// What the host's views put into a drag of design names.
QMimeData* standin::afcq::instance_name_list_mime(const AFCQ_INSTANCE_NAME_LIST& list)
{
    QByteArray bytes;
    QDataStream out(&bytes, QIODevice::WriteOnly);
    out.setVersion(QDataStream::Qt_5_15);
    out << MAGIC << VERSION << quint32(list.size());
    for (const AFCQ_INSTANCE_NAME& entry : list)
        out << qint32(entry.get_kind()) << entry.get_full_name() << quint32(entry.get_flags())
            << qint32(entry.get_first_dimension().first) << qint32(entry.get_first_dimension().second)
            << qint32(entry.get_second_dimension().first) << qint32(entry.get_second_dimension().second);
    auto* data = new QMimeData;
    data->setData(AFCQ_INSTANCE_NAME_LIST_MIME_TYPE, bytes);
    // Other applications see the names as text, one a line.
    QStringList names;
    for (const AFCQ_INSTANCE_NAME& entry : list)
        names << entry.get_full_name();
    data->setText(names.join('\n'));
    return data;
}
