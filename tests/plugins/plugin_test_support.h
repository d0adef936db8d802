#pragma once
// Shared set-up of the decoder plug-in tests: a module directory of its own per test holding
// the built decoder variants a scenario names, and the message boxes the plug-ins caused.

#include "model/sedq_node_list_test_support.h"

#include "host/standin/gen_control.h"
#include "host/standin/qui_control.h"
#include "sedq/plugins/sedq_plugin_entry.h"

#include <QFile>
#include <QTemporaryDir>

#include <algorithm>
#include <string>
#include <vector>

class plugin_test : public sedq_node_list_test
{
protected:
    // Copies libsld_sed_<variant>.so of each variant into a fresh module directory and makes it
    // the host's; a copy may be renamed with "variant:file".
    void install(const std::vector<std::string>& variants)
    {
        m_modules = std::make_unique<QTemporaryDir>();
        ASSERT_TRUE(m_modules->isValid());
        for (const std::string& variant : variants)
        {
            const QString built = QString::fromStdString(variant).section(':', 0, 0);
            const QString file = QString::fromStdString(variant).section(':', -1);
            const QString from = QString(SEDQ_DECODER_DIR "/libsld_sed_%1.so").arg(built);
            ASSERT_TRUE(QFile::copy(from, m_modules->filePath("libsld_sed_" + file + ".so"))) << variant;
        }
        standin::gen::set_module_path(m_modules->path().toStdString());
    }

    // Titles and texts of the boxes shown since the last call ("Corvane\n<text>").
    std::vector<std::string> boxes()
    {
        const std::vector<std::string> all = standin::qui::unanswered_dialogs();
        std::vector<std::string> fresh(all.begin() + long(std::min(m_seen_boxes, all.size())), all.end());
        m_seen_boxes = all.size();
        return fresh;
    }

    static QStringList unit_names(const QString& plugin)
    {
        SEDQ_PLUGIN_ENTRY* entry = sedq_find_plugin(plugin);
        return entry != nullptr ? entry->unit_names : QStringList{"<none>"};
    }

    std::unique_ptr<QTemporaryDir> m_modules;
    size_t m_seen_boxes = 0;
};
