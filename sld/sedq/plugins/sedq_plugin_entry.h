#pragma once
// The registry of loaded decoder plug-in libraries by plug-in name. It is empty until the
// first document model discovers the plug-ins; one SEDQ_PLUGIN_ENTRY describes each library.

#include <QMap>
#include <QString>

struct SEDQ_PLUGIN_ENTRY;

// Ordered by plain case-sensitive comparison of the plug-in names.
extern QMap<QString, SEDQ_PLUGIN_ENTRY*> s_sedq_plugin_map;
