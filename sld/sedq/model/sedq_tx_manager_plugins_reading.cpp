// Reading what a decoder plug-in hands back: texts it wrote into the analyzer's buffers and the
// name and unit names of its open call. Nothing here trusts the plug-in to terminate a buffer
// or to pair a count with a pointer.
#include "sedq/plugins/sedq_plugin_entry.h"

QString sedq_plugin_text(char* buffer, int size)
{
    buffer[size - 1] = '\0';
    return QString::fromUtf8(buffer);
}

bool sedq_read_plugin_open(PLUGIN_OPEN open, QString* name, QStringList* unit_names)
{
    char buffer[SEDQ_PLUGIN_TEXT_SIZE] = {};
    char** units = nullptr;
    int unit_count = 0;
    if (open(buffer, SEDQ_PLUGIN_TEXT_SIZE, &units, &unit_count) != 0)
        return false;
    *name = sedq_plugin_text(buffer, SEDQ_PLUGIN_TEXT_SIZE);
    unit_names->clear();
    for (int i = 0; units != nullptr && i < unit_count; ++i)
        unit_names->append(QString::fromUtf8(units[i] != nullptr ? units[i] : ""));
    return true;
}
